#pragma once
// The "Plan" tab: the plan of the last Explain as a tree (every step open,
// the costliest marked; columns the server gave no numbers for left out),
// a line with what was measured, and "Show Text" switching to the plan as
// the server wrote it.

#include "plan/PlanTree.h"

#include <QWidget>

class PlanModel;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTreeView;

class PlanView : public QWidget {
    Q_OBJECT
public:
    explicit PlanView(QWidget* parent = nullptr);

    void setPlan(PlanTree plan);
    // Shows the server's text (true) or the tree.
    void showText(bool text);

    QTreeView* tree() const { return tree_; }
    PlanModel* model() const { return model_; }
    QPlainTextEdit* rawText() const { return raw_; }
    QLabel* summary() const { return summary_; }

private:
    PlanModel* model_;
    QTreeView* tree_;
    QPlainTextEdit* raw_;
    QStackedWidget* stack_;
    QLabel* summary_;
    QPushButton* textButton_;
};
