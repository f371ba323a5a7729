#pragma once
// The result tab strip of a query document: "&Results" (the grids of the
// result sets, one tab each, or the text pane, by the result mode), "&Messages" and "&Extended Recordsets" (hidden
// until a grid run writes further result sets).

#include <QTabWidget>

class QStackedWidget;
class ResultFind;
class ResultGrid;
class ResultSetTabs;
class ResultTextView;
class SqlEditor;

class ResultPanes : public QTabWidget {
    Q_OBJECT
public:
    enum Tab { ResultsTab = 0, MessagesTab = 1, ExtendedTab = 2 };

    explicit ResultPanes(QWidget* parent = nullptr);

    // The grid of the first result set, and of the set whose tab is in front.
    ResultGrid* grid() const;
    ResultGrid* currentGrid() const;
    ResultSetTabs* resultSets() const { return sets_; }
    // The find bar over the panes.
    ResultFind* finder() const { return find_; }
    ResultTextView* textPane() const { return text_; }  // results as text
    SqlEditor* messagePane() const { return messages_; }
    ResultTextView* extendedPane() const { return extended_; }

    bool resultsInText() const { return inText_; }
    // How the next run shows its results; results already shown stay.
    void setResultsInText(bool text);
    // Shows the grid or the text pane on the results tab, by the mode.
    void showResultsPane();
    void setMessage(const QString& text);
    void setExtendedVisible(bool visible);

signals:
    void modeChanged(bool text);

private:
    QStackedWidget* stack_;
    ResultSetTabs* sets_;
    ResultFind* find_;
    ResultTextView* text_;
    SqlEditor* messages_;
    ResultTextView* extended_;
    bool inText_ = false;
};
