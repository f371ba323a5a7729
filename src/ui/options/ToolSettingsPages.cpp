#include "options/ToolSettingsPages.h"

#include "common/Dialogs.h"
#include "external/ToolPassword.h"
#include "options/PathField.h"
#include "options/SettingsBindings.h"
#include "options/ToolUsageTexts_p.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <optional>

using settings::Key;

namespace options {
namespace {

const QStringList kAllFiles = {QStringLiteral("All Files (*)")};
// The longest switches the user guide writes into one switch box.
const QString kLongSwitches = QStringLiteral("-X -v ON_ERROR_STOP=1 -p 5432 -d");

QLineEdit* textBox(SettingsBindings& bindings, Key key, QWidget* parent, bool secret = false) {
    auto* field = new QLineEdit(parent);
    if (secret) field->setEchoMode(QLineEdit::Password);
    bindings.bindText(key, field);
    return field;
}

// Programs have no name pattern of their own here, so every browse lists all files.
PathField* pathBox(SettingsBindings& bindings, Key key, const QString& title, QWidget* parent) {
    auto* path = new PathField(title, kAllFiles, parent);
    bindings.bindText(key, path->field());
    return path;
}

QCheckBox* checkBox(SettingsBindings& bindings, Key key, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    bindings.bindFlag(key, box);
    return box;
}

// The "Description" link of a tool's tab: shows the tool's usage text.
QPushButton* descriptionLink(const QString& name, QString (*title)(), QString (*text)(), QWidget* page) {
    auto* link = new QPushButton(QStringLiteral("Description"), page);
    link->setObjectName(name);
    link->setFlat(true);
    link->setCursor(Qt::PointingHandCursor);
    QFont f = link->font();
    f.setUnderline(true);
    link->setFont(f);
    link->setForegroundRole(QPalette::Link);
    QObject::connect(link, &QPushButton::clicked, page,
                     [page, title, text] { Dialogs::get().message(page, text(), title()); });
    return link;
}

// Says under a tool's password where it goes (its environment), or warns
// that the tool takes it only on its command line, as the password and the
// program change.
QLabel* passwordNote(QLineEdit* password, QLineEdit* programField, const std::function<QString()>& program,
                     QWidget* page) {
    auto* note = new QLabel(page);
    note->setObjectName(QStringLiteral("passwordNote"));
    note->setWordWrap(true);
    auto update = [note, password, program] {
        const QString name = program();
        const QString text = external::passwordNote(name, password->text());
        note->setText(text);
        note->setVisible(!text.isEmpty());
        const bool warning = !text.isEmpty() && external::passwordVariable(name).isEmpty();
        note->setStyleSheet(warning ? QStringLiteral("color: #b00020;") : QString());
    };
    QObject::connect(password, &QLineEdit::textChanged, note, update);
    if (programField) QObject::connect(programField, &QLineEdit::textChanged, note, update);
    update();
    return note;
}

// Server, database, user, password and trusted connection: what both tools share.
struct LoginKeys {
    Key server, database, user, password, trusted;
};

QFormLayout* loginForm(SettingsBindings& bindings, const LoginKeys& keys, const QString& program, QWidget* page) {
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Server:"), textBox(bindings, keys.server, page));
    form->addRow(QStringLiteral("Database:"), textBox(bindings, keys.database, page));
    form->addRow(QStringLiteral("User:"), textBox(bindings, keys.user, page));
    QLineEdit* password = textBox(bindings, keys.password, page, true);
    form->addRow(QStringLiteral("Password:"), password);
    form->addRow(QString(), passwordNote(password, nullptr, [program] { return program; }, page));
    form->addRow(QString(), checkBox(bindings, keys.trusted, QStringLiteral("Trusted Connection"), page));
    return form;
}

QWidget* linkRow(QPushButton* link, QWidget* page) {
    auto* row = new QWidget(page);
    auto* l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(link);
    l->addStretch(1);
    return row;
}

} // namespace

QWidget* isqlwPage(SettingsBindings& bindings, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* form = loginForm(bindings,
                           {Key::IsqlwServer, Key::IsqlwDatabase, Key::IsqlwUser, Key::IsqlwPassword,
                            Key::IsqlwTrustedConnection},
                           QStringLiteral("isqlw"), page);
    form->addRow(QStringLiteral("Input file: "),
                 pathBox(bindings, Key::IsqlwInputFile, QStringLiteral("Input file"), page));
    form->addRow(QStringLiteral("Output file:"),
                 pathBox(bindings, Key::IsqlwOutputFile, QStringLiteral("Output file"), page));
    form->addRow(QString(),
                 checkBox(bindings, Key::IsqlwShellOpen, QStringLiteral("Shell Open QA (-f)"), page));
    form->addRow(linkRow(descriptionLink(QStringLiteral("isqlwDescription"), &options::isqlwTitle,
                                         &options::isqlwText, page),
                         page));
    page->setLayout(form);
    return page;
}

QWidget* isqlPage(SettingsBindings& bindings, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* form = loginForm(
        bindings,
        {Key::IsqlServer, Key::IsqlDatabase, Key::IsqlUser, Key::IsqlPassword, Key::IsqlTrustedConnection},
        QStringLiteral("isql"), page);
    form->addRow(QStringLiteral("Input file: "),
                 pathBox(bindings, Key::IsqlInputFile, QStringLiteral("Input file"), page));
    form->addRow(QStringLiteral("Output file:"),
                 pathBox(bindings, Key::IsqlOutputFile, QStringLiteral("Output file"), page));
    form->addRow(QStringLiteral("Column Seperator:"), textBox(bindings, Key::IsqlColumnSeparator, page));
    form->addRow(QString(), checkBox(bindings, Key::IsqlQuery, QStringLiteral("Query"), page));
    form->addRow(QString(),
                 checkBox(bindings, Key::IsqlStatistics, QStringLiteral("Print Statistics"), page));
    form->addRow(linkRow(
        descriptionLink(QStringLiteral("isqlDescription"), &options::isqlTitle, &options::isqlText, page),
        page));
    page->setLayout(form);
    return page;
}

QWidget* otherPage(SettingsBindings& bindings, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(QStringLiteral("Switch"), page), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Value"), page), 0, 2);
    int row = 1;
    // One line: caption, the switch written before the value, the value.
    auto line = [&](const QString& caption, std::optional<Key> flag, QWidget* value) {
        grid->addWidget(new QLabel(caption, page), row, 0);
        if (flag) {
            QLineEdit* sw = textBox(bindings, *flag, page);
            // wide enough for the several switches the user guide suggests in one box
            sw->setMinimumWidth(sw->fontMetrics().horizontalAdvance(kLongSwitches) + 16);
            grid->addWidget(sw, row, 1);
        }
        grid->addWidget(value, row, 2);
        ++row;
    };
    line(QStringLiteral("Server:"), Key::OtherServerFlag, textBox(bindings, Key::OtherServer, page));
    line(QStringLiteral("Database:"), Key::OtherDatabaseFlag, textBox(bindings, Key::OtherDatabase, page));
    line(QStringLiteral("User:"), Key::OtherUserFlag, textBox(bindings, Key::OtherUser, page));
    QLineEdit* password = textBox(bindings, Key::OtherPassword, page, true);
    line(QStringLiteral("Password:"), Key::OtherPasswordFlag, password);
    PathField* executable = pathBox(bindings, Key::OtherExecute, QStringLiteral("Executable"), page);
    QLineEdit* program = executable->field();
    // an empty executable starts isql
    QLabel* note = passwordNote(
        password, program,
        [program] { return program->text().trimmed().isEmpty() ? QStringLiteral("isql") : program->text(); }, page);
    grid->addWidget(note, row++, 2);
    line(QStringLiteral("Executable "), std::nullopt, executable);
    line(QStringLiteral("Input file: "), Key::OtherInputFileFlag,
         pathBox(bindings, Key::OtherInputFile, QStringLiteral("Input file"), page));
    line(QStringLiteral("Output file:"), Key::OtherOutputFileFlag,
         pathBox(bindings, Key::OtherOutputFile, QStringLiteral("Output file"), page));

    auto* description =
        new QLabel(QStringLiteral("Description: the program is started with each switch followed "
                                  "directly by its value, for example -S and the server name."),
                   page);
    description->setWordWrap(true);
    description->setForegroundRole(QPalette::PlaceholderText);
    grid->addWidget(description, row++, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
    return page;
}

} // namespace options
