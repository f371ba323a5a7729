#pragma once
// The options dialog ("Options"): edits every setting of config.ini. It
// reads all keys when it opens; "OK" writes them all in one replacement of
// the file (keys, comments and lines it does not know survive) and closes,
// or, when the file cannot be written, says why and stays open with the
// edits intact. "Cancel" writes nothing. Settings take effect where they
// are read: run settings at the next run, editor settings in documents
// opened afterwards (the dialog says which are which).

#include "options/SettingsBindings.h"

#include <QDialog>

class ExecutionPlanPage;
class GeneralOptionsPage;
class PathField;
class QPushButton;
class QTabWidget;

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // Reads every key of config.ini into the controls.
    void readSettings();
    // Writes every key from the controls; false (with a message shown) when
    // the file could not be written.
    bool saveSettings();

    QTabWidget* tabs() const { return tabs_; }
    GeneralOptionsPage* generalPage() const { return general_; }
    ExecutionPlanPage* executionPage() const { return execution_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* helpButton() const { return help_; }
    // The control bound to a key (for a pair of option buttons, the one
    // that writes "1"); the path field of a key edited with a browse button.
    QWidget* control(settings::Key key) const { return bindings_.control(key); }
    PathField* pathField(settings::Key key) const;
    const SettingsBindings& bindings() const { return bindings_; }

private:
    void onOk();

    SettingsBindings bindings_;
    QTabWidget* tabs_;
    GeneralOptionsPage* general_;
    ExecutionPlanPage* execution_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* help_;
};

