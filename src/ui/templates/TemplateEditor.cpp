#include "templates/TemplateEditor.h"

#include "common/Dialogs.h"
#include "editor/SqlEditor.h"
#include "store/TemplateStore.h"
#include "templates/TemplateSelection.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Templates");
const QString kGroupTitle = QStringLiteral("Template Group");
const QString kDeleteTitle = QStringLiteral("Delete Item");
const QString kDeleteQuestion = QStringLiteral("Do you want to Delete the selected item?");
} // namespace

TemplateEditor::TemplateEditor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("templateEditor"));
    setWindowTitle(kCaption);
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false); // the command that shows it owns it

    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("templateTitle"));
    group_ = new QComboBox(this);
    group_->setObjectName(QStringLiteral("templateGroup"));
    group_->setMinimumContentsLength(24);
    group_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    code_ = new SqlEditor(this);
    code_->setObjectName(QStringLiteral("templateCode"));
    code_->setSyntaxColouring(true);
    code_->setConvertTabs(true);
    code_->setEditorFont(QStringLiteral("Courier New"), QString());

    auto makeButton = [this](const QString& caption, const char* name, void (TemplateEditor::*slot)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto* add = makeButton(QStringLiteral("Add"), "addGroup", &TemplateEditor::addGroup);
    auto* del = makeButton(QStringLiteral("Del"), "deleteGroup", &TemplateEditor::deleteGroup);
    auto* edt = makeButton(QStringLiteral("Edt"), "editGroup", &TemplateEditor::editGroup);
    add->setToolTip(QStringLiteral("New template group"));
    del->setToolTip(QStringLiteral("Delete the template group shown"));
    edt->setToolTip(QStringLiteral("Rename the template group shown"));
    auto* ok = makeButton(QStringLiteral("Ok"), "okButton", &TemplateEditor::store);
    auto* cancel = makeButton(QStringLiteral("Cancel"), "cancelButton", &TemplateEditor::reject);
    ok->setDefault(true); // Enter in the title stores; the script box keeps Enter for new lines

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Title:"), this), 0, 0);
    fields->addWidget(title_, 0, 1, 1, 4);
    fields->addWidget(new QLabel(QStringLiteral("Group:"), this), 1, 0);
    fields->addWidget(group_, 1, 1);
    fields->addWidget(add, 1, 2);
    fields->addWidget(del, 1, 3);
    fields->addWidget(edt, 1, 4);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(new QLabel(QStringLiteral("Template:"), this));
    layout->addWidget(code_, 1);
    layout->addLayout(buttons);
    resize(640, 460);
}

QPushButton* TemplateEditor::button(const QString& caption) const {
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == caption) return b;
    return nullptr;
}

bool TemplateEditor::prepare() {
    TemplateSelection& chosen = TemplateSelection::current();
    editing_.reset();
    // "Edit Item" with no template chosen works as "New Item".
    if (chosen.editMode && !chosen.templateId) chosen.editMode = false;
    if (!chosen.editMode) {
        fillGroupList(chosen.groupId);
        title_->clear();
        code_->setText(QString());
        return true;
    }
    const Result<TemplateRecord> record = TemplateStore::loadTemplate(*chosen.templateId);
    if (!record) {
        tell(record.error());
        return false;
    }
    editing_ = record->id;
    fillGroupList(record->groupId); // the template's own group, whatever was chosen last
    title_->setText(record->title);
    code_->setText(record->code);
    return true;
}

void TemplateEditor::fillGroupList(std::optional<qint64> select) {
    const Result<std::vector<TemplateGroup>> groups = TemplateStore::groups();
    group_->clear();
    for (const TemplateGroup& g : groups.valueOr({}))
        group_->addItem(g.title, g.id);
    group_->setCurrentIndex(select ? group_->findData(*select) : -1);
    if (!groups) tell(QStringLiteral("Error: ") + groups.error());
}

std::optional<qint64> TemplateEditor::shownGroup() const {
    const QVariant id = group_->currentData();
    return id.isValid() ? std::optional<qint64>(id.toLongLong()) : std::nullopt;
}

std::optional<qint64> TemplateEditor::requireGroup() {
    const auto id = shownGroup();
    if (!id) tell(QStringLiteral("Choose a template group first."));
    return id;
}

void TemplateEditor::tell(const QString& text) {
    Dialogs::get().message(this, text, kCaption);
}

void TemplateEditor::store() {
    const auto group = requireGroup();
    if (!group) return;
    const QString title = title_->text().trimmed();
    if (title.isEmpty()) {
        tell(QStringLiteral("Type in a title for the template."));
        title_->setFocus();
        return;
    }
    Status saved;
    if (editing_) {
        saved = TemplateStore::updateTemplate(*editing_, *group, title, code_->text());
        if (saved) stored_ = editing_;
    } else {
        const Result<qint64> id = TemplateStore::insertTemplate(*group, title, code_->text());
        saved = Status::of(id);
        if (id) stored_ = *id;
    }
    if (!saved) { // the window stays open: nothing typed is lost
        tell(QStringLiteral("Error: ") + saved.error());
        return;
    }
    TemplateSelection& chosen = TemplateSelection::current();
    chosen.templateId = stored_;
    chosen.groupId = group;
    accept();
}

void TemplateEditor::addGroup() {
    const auto name = Dialogs::get().input(this, QStringLiteral("Type in the new 'Template Group' name!"),
                                           kGroupTitle, QString());
    if (!name || name->trimmed().isEmpty()) return;
    const Result<qint64> id = TemplateStore::insertGroup(*name);
    if (!id) tell(QStringLiteral("Error: ") + id.error());
    fillGroupList(id ? std::optional<qint64>(*id) : shownGroup());
}

void TemplateEditor::deleteGroup() {
    const auto id = requireGroup();
    if (!id) return;
    if (Dialogs::get().question(this, kDeleteQuestion, kDeleteTitle, Dialogs::Buttons::YesNo) !=
        Dialogs::Answer::Yes)
        return;
    const Result<qint64> held = TemplateStore::templateCount(*id);
    if (!held) {
        tell(QStringLiteral("Error: ") + held.error());
        return;
    }
    // A group with templates goes only together with them, and only when the user says so.
    if (*held > 0 &&
        Dialogs::get().question(
            this,
            QStringLiteral("The group \"%1\" holds %2 template(s). Delete them together with the group?")
                .arg(group_->currentText())
                .arg(*held),
            kDeleteTitle, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;
    const Status deleted = TemplateStore::deleteGroup(*id, *held > 0);
    if (!deleted) tell(QStringLiteral("Error: ") + deleted.error());
    // The template being edited may have gone with its group: Ok then stores the text as a new template.
    if (editing_ && !TemplateStore::loadTemplate(*editing_)) editing_.reset();
    fillGroupList(deleted ? std::optional<qint64>() : id);
}

void TemplateEditor::editGroup() {
    const auto id = requireGroup();
    if (!id) return;
    const auto name = Dialogs::get().input(this, QStringLiteral("Edit 'Template Group' name!"), kGroupTitle,
                                           group_->currentText());
    if (!name || name->trimmed().isEmpty()) return;
    const Status renamed = TemplateStore::renameGroup(*id, *name);
    if (!renamed) tell(QStringLiteral("Error: ") + renamed.error());
    fillGroupList(id);
}
