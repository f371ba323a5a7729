#pragma once
// The result tab strip of a query document: "&Results" (the grid or the text
// pane, by the result mode), "&Messages" and "&Extended Recordsets" (hidden
// until a grid run writes further result sets).

#include <QTabWidget>

class QStackedWidget;
class ResultGrid;
class ResultTextView;
class SqlEditor;

class ResultPanes : public QTabWidget {
    Q_OBJECT
public:
    enum Tab { ResultsTab = 0, MessagesTab = 1, ExtendedTab = 2 };

    explicit ResultPanes(QWidget* parent = nullptr);

    ResultGrid* grid() const { return grid_; }
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
    ResultGrid* grid_;
    ResultTextView* text_;
    SqlEditor* messages_;
    ResultTextView* extended_;
    bool inText_ = false;
};
