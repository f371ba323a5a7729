#pragma once
// The "Execution Plan" tab: whether scripts run through the document's own
// connection or go to an external tool, which tool, and the tools' settings
// on nested tabs. The tool chooser and the nested tabs stay in step; both
// are unavailable while the default plan is selected.

#include <QWidget>

class QComboBox;
class QRadioButton;
class QTabWidget;
class SettingsBindings;

class ExecutionPlanPage : public QWidget {
    Q_OBJECT
public:
    ExecutionPlanPage(SettingsBindings& bindings, QWidget* parent = nullptr);

    QRadioButton* defaultPlanButton() const { return default_; }
    QRadioButton* userSpecificButton() const { return userSpecific_; }
    QComboBox* toolChooser() const { return chooser_; }
    QTabWidget* toolTabs() const { return tabs_; }

private:
    void setToolsAvailable(bool on);

    QRadioButton* default_;
    QRadioButton* userSpecific_;
    QComboBox* chooser_;
    QTabWidget* tabs_;
};
