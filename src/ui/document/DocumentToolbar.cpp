#include "document/DocumentToolbar.h"
#include "common/ResourceIcon.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

DocumentToolbar::DocumentToolbar(QWidget* parent) : QToolBar(parent) {
    setIconSize(QSize(16, 16));
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    addButton(QStringLiteral("New"), QStringLiteral("connect"), QStringLiteral("Connect"),
              {{QStringLiteral("PostgreSQL"), QStringLiteral("PGSQL")},
               {QStringLiteral("MariaDB / MySQL"), QStringLiteral("MARIADB")},
               {QStringLiteral("SQLite File"), QStringLiteral("SQLITE")},
               {QStringLiteral("ODBC Driver"), QStringLiteral("ODBC")},
               {QStringLiteral("ODBC Data Source"), QStringLiteral("DSN")}});
    addButton(QStringLiteral("Open"), QStringLiteral("open"), QStringLiteral("Open"),
              {{QStringLiteral("Open New"), QStringLiteral("ONEW")}, {QStringLiteral("Open Append"), QStringLiteral("OAPP")}});
    addButton(QStringLiteral("Save"), QStringLiteral("save"), QStringLiteral("Save"));
    addSeparator();
    addButton(QStringLiteral("Cut"), QStringLiteral("cut"), QStringLiteral("Cut"));
    addButton(QStringLiteral("Copy"), QStringLiteral("copy"), QStringLiteral("Copy"));
    addButton(QStringLiteral("Paste"), QStringLiteral("paste"), QStringLiteral("Paste"));
    addButton(QStringLiteral("Erase"), QStringLiteral("erase"), QStringLiteral("Erase the script"));
    addSeparator();
    addButton(QStringLiteral("Search"), QStringLiteral("search"), QStringLiteral("Search"));
    addButton(QStringLiteral("Undo"), QStringLiteral("undo"), QStringLiteral("Undo"));
    addSeparator();
    QToolButton* mode = addButton(QStringLiteral("Return Data"), QStringLiteral("grid"),
                                  QStringLiteral("Select the return data type."),
                                  {{QStringLiteral("Result in Grid"), QStringLiteral("resGrd")},
                                   {QStringLiteral("Result in text"), QStringLiteral("resTxt")}});
    mode->setPopupMode(QToolButton::InstantPopup); // the button itself does nothing
    addButton(QStringLiteral("Syntax Check"), QStringLiteral("check"), QStringLiteral("Query Check"));
    addSeparator();
    QToolButton* run = addButton(QStringLiteral("EXECUTE"), QStringLiteral("execute"), QStringLiteral("Execute Query (F5)"));
    run->setText(QStringLiteral("Execute"));
    run->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QToolButton* stop = addButton(QStringLiteral("STOP"), QStringLiteral("stop"), QStringLiteral("Stop Query (F4)"));
    stop->setText(QStringLiteral("Stop"));
    stop->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    stop->setEnabled(false);
    addSeparator();
    // the session's transaction: auto-commit, and ending what is open
    QToolButton* autoCommit = addButton(QStringLiteral("AUTOCOMMIT"), QString(),
                                        QStringLiteral("Auto-commit: each statement is committed by itself. Off, the "
                                                       "first statement opens a transaction that Commit or Roll Back ends."));
    autoCommit->setText(QStringLiteral("Auto-commit"));
    autoCommit->setCheckable(true);
    autoCommit->setChecked(true);
    autoCommit->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const auto& [tag, text] : {std::pair{QStringLiteral("COMMIT"), QStringLiteral("Commit")},
                                    std::pair{QStringLiteral("ROLLBACK"), QStringLiteral("Roll Back")}}) {
        QToolButton* b = addButton(tag, QString(), text + QStringLiteral(" the window's open transaction"));
        b->setText(text);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setEnabled(false);
    }
    addSeparator();
    auto* label = new QLabel(QStringLiteral(" Database: "), this);
    addWidget(label);
    databases_ = new QComboBox(this);
    databases_->setObjectName(QStringLiteral("databaseChooser"));
    databases_->setMinimumContentsLength(16);
    databases_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    databases_->setToolTip(QStringLiteral("Database for the next run"));
    addWidget(databases_);
}

QStringList DocumentToolbar::tags() {
    return {QStringLiteral("New"),  QStringLiteral("Open"),  QStringLiteral("Save"),        QStringLiteral("Cut"),
            QStringLiteral("Copy"), QStringLiteral("Paste"), QStringLiteral("Erase"),       QStringLiteral("Search"),
            QStringLiteral("Undo"), QStringLiteral("Return Data"), QStringLiteral("Syntax Check"),
            QStringLiteral("EXECUTE"), QStringLiteral("STOP"), QStringLiteral("AUTOCOMMIT"), QStringLiteral("COMMIT"),
            QStringLiteral("ROLLBACK")};
}

QToolButton* DocumentToolbar::addButton(const QString& tag, const QString& icon, const QString& tip,
                                        const QList<QPair<QString, QString>>& items) {
    auto* b = new QToolButton(this);
    b->setObjectName(tag);
    b->setProperty("tag", tag);
    if (!icon.isEmpty()) b->setIcon(common::resourceIcon(icon));
    b->setToolTip(tip);
    b->setAutoRaise(true);
    addWidget(b);
    connect(b, &QToolButton::clicked, this, [this, tag] { emit buttonClicked(tag); });
    if (!items.isEmpty()) {
        auto* menu = new QMenu(b);
        b->setMenu(menu);
        b->setPopupMode(QToolButton::MenuButtonPopup);
        for (const auto& [caption, key] : items) addMenuItem(tag, caption, key);
    }
    return b;
}

void DocumentToolbar::addMenuItem(const QString& tag, const QString& caption, const QString& key) {
    QToolButton* b = button(tag);
    if (!b || !b->menu()) return;
    QAction* a = b->menu()->addAction(caption);
    a->setData(key);
    connect(a, &QAction::triggered, this, [this, tag, key] { emit menuItemChosen(tag, key); });
}

QToolButton* DocumentToolbar::button(const QString& tag) const { return findChild<QToolButton*>(tag); }

QStringList DocumentToolbar::menuKeys(const QString& tag) const {
    QStringList keys;
    if (QToolButton* b = button(tag); b && b->menu())
        for (QAction* a : b->menu()->actions()) keys << a->data().toString();
    return keys;
}

void DocumentToolbar::setResultMode(bool text) {
    button(QStringLiteral("Return Data"))
        ->setIcon(common::resourceIcon(text ? QStringLiteral("text") : QStringLiteral("grid")));
}

void DocumentToolbar::setRunning(bool running) {
    button(QStringLiteral("EXECUTE"))->setEnabled(!running);
    button(QStringLiteral("STOP"))->setEnabled(running);
}

void DocumentToolbar::setTransactionState(bool autoCommit, bool inTransaction) {
    button(QStringLiteral("AUTOCOMMIT"))->setChecked(autoCommit);
    for (const char* tag : {"COMMIT", "ROLLBACK"}) button(QLatin1String(tag))->setEnabled(inTransaction);
}
