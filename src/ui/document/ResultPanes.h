#pragma once
// The result tab strip of a query document: "&Results" (the grids of the
// result sets, one tab each, or the text pane, by the result mode),
// "&Messages" and "&Extended Recordsets" (hidden until a run writes text
// result sets there), "&Plan" (hidden until Explain reads a plan), and the
// find bar over them.
//
// Who fills it speaks in intents: a run starts, a grid starts, rows or text
// arrive for a pane, a pane is cleared, the run ends, a message is shown.
// Which tab comes forward and how the grid's columns are sized is decided
// here. The panes themselves are reachable for the document's commands
// (copy, fonts, pop-ups) and for tests.
//
// The tabs are hidden until something is shown in them, so the grids, the
// text pane, the plan view and the find bar are made when first wanted (the
// first run, a click on the tab, an accessor), not with the document: a new
// window opens without them. The message and extended panes exist from the
// start.

#include "plan/PlanTree.h"
#include "run/RunEngine.h"

#include <QTabWidget>

class PlanView;
class QStackedWidget;
class ResultFind;
class ResultGrid;
class ResultSetTabs;
class ResultTextView;
class SqlEditor;

class ResultPanes : public QTabWidget {
    Q_OBJECT
public:
    enum Tab { ResultsTab = 0, MessagesTab = 1, ExtendedTab = 2, PlanTab = 3 };

    explicit ResultPanes(QWidget* parent = nullptr);

    // The grid of the first result set, and of the set whose tab is in front.
    // These accessors make the panes they return if they are not there yet.
    ResultGrid* grid() const;
    ResultGrid* currentGrid() const;
    ResultSetTabs* resultSets() const;
    // The find bar over the panes.
    ResultFind* finder() const;
    ResultTextView* textPane() const; // results as text
    SqlEditor* messagePane() const { return messages_; }
    ResultTextView* extendedPane() const { return extended_; }
    PlanView* planView() const;
    // Whether the grids and the text pane have been made.
    bool resultsBuilt() const { return sets_ != nullptr; }

    // The font of the text panes and the messages (the editor's font).
    void setPaneFont(const QString& family, const QString& size);

    bool resultsInText() const { return inText_; }
    // How the next run shows its results; results already shown stay.
    void setResultsInText(bool text);
    // Shows the grid or the text pane on the results tab, by the mode.
    void showResultsPane();
    void setExtendedVisible(bool visible);

    // ---- messages ----
    // Sets the message pane's text, leaving the tabs as they are.
    void setMessage(const QString& text);
    // Sets the message pane's text and brings it forward; with hideResults
    // the results tab goes (a summary, a note that is not a run's).
    void showMessage(const QString& text, bool hideResults = false);
    // Adds a line under what the message pane shows; its tab is shown but
    // not brought forward.
    void appendMessage(const QString& line);

    // ---- a run ----
    // A run starts: results and messages shown, extended hidden, the message
    // pane coloured and saying "Working...", the results of the run's mode
    // emptied and in front.
    void startRun();
    // A result set starts in a grid of its own (the first set in the first
    // grid tab, each further one in a new tab): its columns, no rows yet.
    void startGrid(const std::vector<db::Field>& fields);
    // Rows for the grid of the set started last. Its columns are sized from
    // the first rows and widened now and then from what came since.
    void appendRows(const std::shared_ptr<db::RowBlock>& rows);
    // Text, or rows laid out as text, for the text or the extended pane.
    void appendText(Pane pane, const QString& text);
    void appendTextRows(Pane pane, const std::shared_ptr<db::RowBlock>& rows, const TextWidths& widths);
    void clearPane(Pane pane);
    // Drops every row shown (a run stopped at the memory limit).
    void clearResults();
    // The run ended: every grid takes its last rows (a sort waiting for
    // them runs) and is widened for them; a failed move of rows to the
    // temporary file is noted under the messages; the messages in
    // front after a failure, else the results; the extended tab when the
    // run wrote further result sets.
    void finishRun(bool failed, bool extendedResults);

    // ---- a plan ----
    // Shows plan on the "Plan" tab and brings it forward.
    void showPlan(PlanTree plan);

signals:
    void modeChanged(bool text);
    // The grids and the text pane have just been made (once per document):
    // the place to attach pop-ups to them.
    void resultsMade();

private:
    // The searchable pane the user sees now (the grid or text of Results, Messages, Extended).
    QWidget* paneInFront() const;
    // An open find bar follows the pane in front.
    void retargetFind();

    // Makes the grids and the text pane on the results tab, once.
    void buildResults() const;
    ResultTextView* textPaneFor(Pane pane) const;
    // Drops every grid tab but the first, empties that and gives the memory back.
    void clearGrid();

    QStackedWidget* stack_;            // the results tab: the grids or the text pane
    mutable ResultSetTabs* sets_ = nullptr;
    mutable ResultTextView* text_ = nullptr;
    mutable ResultFind* find_ = nullptr;
    SqlEditor* messages_;
    ResultTextView* extended_;
    QWidget* planPage_;                // the plan tab: holds the plan view once made
    mutable PlanView* plan_ = nullptr;
    QString fontFamily_, fontSize_;    // for the text pane when it is made
    bool inText_ = false;
};
