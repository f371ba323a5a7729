#pragma once
// The template editor ("Templates"): a template's title, its group and its
// SQL text, and the groups themselves (Add, Del, Edt). Modal; created when a
// command shows it and discarded when it closes.
//
// It edits the template the program-wide TemplateSelection names when its
// editMode is set, else it makes a new one. An edited template keeps its own
// group unless the user picks another. Every command that needs a group or
// template that is not there says so and changes nothing; a failed store
// keeps the window open with the user's text.

#include <QDialog>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;
class SqlEditor;

class TemplateEditor : public QDialog {
    Q_OBJECT
public:
    explicit TemplateEditor(QWidget* parent = nullptr);

    // Fills the fields from the selection: the template to edit, or an empty
    // new one filed under the group chosen last. False, after telling the
    // user, when the template to edit no longer exists.
    bool prepare();
    bool isEditing() const { return editing_.has_value(); }
    // The template stored by Ok (the new or the edited one).
    std::optional<qint64> storedTemplateId() const { return stored_; }

    // The buttons: "Ok" stores and closes; "Add", "Del", "Edt" manage groups.
    void store();
    void addGroup();
    void deleteGroup();
    void editGroup();

    QLineEdit* titleField() const { return title_; }
    QComboBox* groupBox() const { return group_; }
    SqlEditor* codeEditor() const { return code_; }
    QPushButton* button(const QString& caption) const;

private:
    // Refills the group list from the store, then shows the group with id (if any).
    void fillGroupList(std::optional<qint64> select);
    std::optional<qint64> shownGroup() const;
    // The shown group's id, or a message saying a group must be chosen.
    std::optional<qint64> requireGroup();
    void tell(const QString& text);

    QLineEdit* title_;
    QComboBox* group_;
    SqlEditor* code_;
    std::optional<qint64> editing_;
    std::optional<qint64> stored_;
};
