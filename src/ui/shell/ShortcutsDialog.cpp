#include "shell/ShortcutsDialog.h"

#include "common/Dialogs.h"
#include "help/Help.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstring>

namespace {

const QString kTitle = QStringLiteral("Keyboard Shortcuts");
constexpr int kIdRole = Qt::UserRole;

const MenuEntry* entryById(const char* id) {
    for (const MenuEntry& e : mainMenuEntries())
        if (std::strcmp(e.id, id) == 0) return &e;
    return nullptr;
}

// Where the command is: "Query > Objects View"; the hidden pop-ups by what they belong to.
QString menuPathOf(const MenuEntry& entry) {
    QStringList path;
    for (const MenuEntry* p = entry.parent ? entryById(entry.parent) : nullptr; p;
         p = p->parent ? entryById(p->parent) : nullptr) {
        if (isHiddenPopup(p->id))
            path.prepend(std::strcmp(p->id, "mnuObjects") == 0    ? QStringLiteral("Objects pop-up")
                         : std::strcmp(p->id, "mnuTemplate") == 0 ? QStringLiteral("Templates pop-up")
                                                                  : QStringLiteral("Grid pop-up"));
        else
            path.prepend(KeyMap::caption(*p));
    }
    return path.join(QStringLiteral(" > "));
}

QString shown(const QKeySequence& k) {
    return k.toString(QKeySequence::NativeText);
}

} // namespace

ShortcutsDialog::ShortcutsDialog(const KeyMap& keys, QWidget* parent)
    : QDialog(parent), keys_(keys), preset_(new QComboBox(this)), search_(new QLineEdit(this)),
      list_(new QTreeWidget(this)), keyField_(new QKeySequenceEdit(this)), notice_(new QLabel(this)) {
    setWindowTitle(kTitle);
    resize(640, 560);
    preset_->addItem(QStringLiteral("Classic"), int(KeyPreset::Classic));
    preset_->addItem(QStringLiteral("Desktop standard"), int(KeyPreset::Desktop));
    preset_->setCurrentIndex(preset_->findData(int(keys_.preset())));
    preset_->setToolTip(
        QStringLiteral("Classic: the editor's own keys (Ctrl+O objects, Ctrl+W results, ...).\n"
                       "Desktop standard: Ctrl+O opens, Ctrl+W closes, Ctrl+Q quits, Ctrl+P prints, "
                       "Ctrl+Shift+Z redoes."));
    search_->setPlaceholderText(QStringLiteral("Search commands and keys"));
    search_->setClearButtonEnabled(true);
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("Command"), QStringLiteral("Menu"), QStringLiteral("Key")});
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    notice_->setWordWrap(true);
    notice_->setObjectName(QStringLiteral("shortcutNotice"));
    auto* clear = new QPushButton(QStringLiteral("C&lear"), this);
    auto* byDefault = new QPushButton(QStringLiteral("&Default"), this);
    clear->setToolTip(QStringLiteral("Leave the command without a key."));
    byDefault->setToolTip(QStringLiteral("The preset's key for the command."));

    auto* top = new QHBoxLayout;
    auto* presetLabel = new QLabel(QStringLiteral("&Preset:"), this);
    presetLabel->setBuddy(preset_);
    top->addWidget(presetLabel);
    top->addWidget(preset_);
    top->addStretch(1);
    top->addWidget(search_, 2);
    auto* keyRow = new QHBoxLayout;
    auto* keyLabel = new QLabel(QStringLiteral("&Key:"), this);
    keyLabel->setBuddy(keyField_);
    keyRow->addWidget(keyLabel);
    keyRow->addWidget(keyField_, 1);
    keyRow->addWidget(clear);
    keyRow->addWidget(byDefault);
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    layout->addLayout(keyRow);
    layout->addWidget(notice_);
    layout->addWidget(buttons);

    fillList();
    connect(buttons, &QDialogButtonBox::accepted, this, &ShortcutsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { help::showHelp(this, QLatin1String(help::kKeysTopic)); });
    connect(preset_, &QComboBox::activated, this, &ShortcutsDialog::choosePreset);
    connect(search_, &QLineEdit::textChanged, this, &ShortcutsDialog::filter);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
        keyField_->setKeySequence(keys_.key(selectedId()));
        keyField_->setEnabled(!selectedId().isEmpty());
    });
    connect(keyField_, &QKeySequenceEdit::editingFinished, this, [this] {
        const QKeySequence typed = keyField_->keySequence();
        const QString id = selectedId();
        // one key, not a chord sequence: the first key pressed counts
        if (!id.isEmpty() && !typed.isEmpty() && !assign(id, QKeySequence(typed[0])))
            keyField_->setKeySequence(keys_.key(id));
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        if (!selectedId().isEmpty()) assign(selectedId(), QKeySequence());
    });
    connect(byDefault, &QPushButton::clicked, this, [this] {
        if (const MenuEntry* e = KeyMap::command(selectedId()))
            assign(selectedId(), KeyMap::presetKey(*e, keys_.preset()));
    });
    list_->setCurrentItem(list_->topLevelItem(0));
}

// The key field reports a last "editing finished" when it loses the focus
// as the dialog goes: nobody listens by then.
ShortcutsDialog::~ShortcutsDialog() { disconnect(keyField_, nullptr, this, nullptr); }

void ShortcutsDialog::fillList() {
    for (const MenuEntry* e : KeyMap::commands()) {
        auto* row = new QTreeWidgetItem(list_, {KeyMap::caption(*e), menuPathOf(*e), QString()});
        row->setData(0, kIdRole, QString::fromLatin1(e->id));
    }
    // the editor's own keys, shown so nobody looks for them in vain
    for (const QKeySequence& k :
         {QKeySequence(Qt::CTRL | Qt::Key_Space), QKeySequence(Qt::SHIFT | Qt::Key_Space),
          QKeySequence(Qt::Key_Escape), QKeySequence(Qt::ALT | Qt::Key_X)}) {
        auto* row = new QTreeWidgetItem(
            list_, {KeyMap::editorUseOf(k), QStringLiteral("(the editor's own)"), shown(k)});
        row->setFlags(Qt::NoItemFlags);
    }
    showKeys();
}

void ShortcutsDialog::showKeys() {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list_->topLevelItem(i);
        const QString id = row->data(0, kIdRole).toString();
        if (!id.isEmpty()) row->setText(2, shown(keys_.key(id)));
    }
    keyField_->setKeySequence(keys_.key(selectedId()));
}

bool ShortcutsDialog::assign(const QString& id, const QKeySequence& key) {
    const MenuEntry* entry = KeyMap::command(id);
    if (!entry) return false;
    notice_->clear();
    if (const QString use = KeyMap::editorUseOf(key); !use.isEmpty()) {
        Dialogs::get().message(
            this, QStringLiteral("%1 is kept by the editor for %2. Choose another key.").arg(shown(key), use),
            kTitle);
        return false;
    }
    const QString holder = keys_.holderOf(key, id);
    if (!holder.isEmpty()) {
        const MenuEntry* other = KeyMap::command(holder);
        const QString question =
            QStringLiteral("%1 is the key of \"%2\" (%3). Give it to \"%4\" instead?")
                .arg(shown(key), KeyMap::caption(*other), menuPathOf(*other), KeyMap::caption(*entry));
        if (Dialogs::get().question(this, question, kTitle, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
            return false;
        keys_.setKey(holder, QKeySequence());
        notice_->setText(QStringLiteral("\"%1\" has no key now.").arg(KeyMap::caption(*other)));
    }
    keys_.setKey(id, key);
    showKeys();
    return true;
}

void ShortcutsDialog::choosePreset(int index) {
    const auto preset = KeyPreset(preset_->itemData(index).toInt());
    if (preset == keys_.preset()) return;
    if (!(keys_ == KeyMap(keys_.preset())) &&
        Dialogs::get().question(
            this,
            QStringLiteral("Use the keys of \"%1\"? The keys you changed go back to that preset.")
                .arg(preset_->itemText(index)),
            kTitle, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        preset_->setCurrentIndex(preset_->findData(int(keys_.preset())));
        return;
    }
    keys_.usePreset(preset);
    notice_->clear();
    showKeys();
}

void ShortcutsDialog::filter(const QString& text) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list_->topLevelItem(i);
        bool match = text.trimmed().isEmpty();
        for (int c = 0; c < 3 && !match; ++c)
            match = row->text(c).contains(text.trimmed(), Qt::CaseInsensitive);
        row->setHidden(!match);
    }
}

void ShortcutsDialog::select(const QString& id) {
    if (QTreeWidgetItem* row = rowOf(id)) list_->setCurrentItem(row);
}

QString ShortcutsDialog::shownKey(const QString& id) const {
    const QTreeWidgetItem* row = rowOf(id);
    return row ? row->text(2) : QString();
}

QString ShortcutsDialog::selectedId() const {
    const QTreeWidgetItem* row = list_->currentItem();
    return row ? row->data(0, kIdRole).toString() : QString();
}

QTreeWidgetItem* ShortcutsDialog::rowOf(const QString& id) const {
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->data(0, kIdRole).toString() == id) return list_->topLevelItem(i);
    return nullptr;
}

void ShortcutsDialog::accept() {
    if (const QStringList clashes = keys_.clashes(); !clashes.isEmpty()) {
        Dialogs::get().message(
            this,
            QStringLiteral("These keys belong to more than one command; give each one command:\n") +
                clashes.join(QLatin1Char('\n')),
            kTitle);
        return;
    }
    if (const Status s = keys_.save(); !s) {
        Dialogs::get().message(this, QStringLiteral("The keys could not be saved: %1").arg(s.error()),
                               kTitle);
        return;
    }
    QDialog::accept();
}
