#include "connections/ConnectionManager.h"

#include "common/Dialogs.h"
#include "common/Theme.h"
#include "db/ConnectionString.h"
#include "db/ServerFamily.h"
#include "help/Help.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// The window's two widths (wide shows the connection string comfortably).
constexpr int kNarrowWidth = 560;
constexpr int kWideWidth = 820;
constexpr int kRowRole = Qt::UserRole + 1;

QIcon typeIcon(int type) {
    return type >= 1 && type <= ConnectionStore::kTypeCount ? QIcon(QStringLiteral(":/icons/conn%1.svg").arg(type)) : QIcon();
}
} // namespace

ConnectionManager::ConnectionManager(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("connectionManager"));
    setWindowTitle(QStringLiteral("SQL Connection Manager"));
    auto* layout = new QVBoxLayout(this);

    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("connectionToolbar"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar->setIconSize(QSize(16, 16));
    auto* create = new QToolButton(toolbar);
    create->setObjectName(QStringLiteral("createNew"));
    create->setText(QStringLiteral("Create New"));
    create->setIcon(QIcon(QStringLiteral(":/icons/connect.svg")));
    create->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    create->setPopupMode(QToolButton::MenuButtonPopup);
    auto* createMenu = new QMenu(create);
    const std::pair<const char*, ConnectionKind> kinds[] = {{"PostgreSQL", ConnectionKind::PostgreSql},
                                                            {"MariaDB / MySQL", ConnectionKind::MariaDb},
                                                            {"SQLite File", ConnectionKind::SqliteFile},
                                                            {"ODBC Driver", ConnectionKind::OdbcDriver},
                                                            {"ODBC Data Source", ConnectionKind::OdbcDataSource}};
    for (const auto& [caption, kind] : kinds)
        connect(createMenu->addAction(QLatin1String(caption)), &QAction::triggered, this,
                [this, kind = kind] { connectWizardAddon(kind); });
    create->setMenu(createMenu);
    connect(create, &QToolButton::clicked, this, [this] { connectWizardAddon(ConnectionKind::SqliteFile); });
    toolbar->addWidget(create);
    auto addAction = [&](const char* key, const char* text, const char* icon, auto slot) {
        QAction* a = toolbar->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))), QLatin1String(text));
        a->setObjectName(QLatin1String(key));
        connect(a, &QAction::triggered, this, slot);
    };
    addAction("Reload", "Reload", "undo", [this] { addConnections(); });
    addAction("Save", "Save", "save", [this] { saveSelected(); });
    addAction("Delete", "Delete", "erase", [this] { deleteSelected(); });
    addAction("Help", "Help", "search", [this] { help::showHelp(this, QLatin1String(help::kConnectionTopic)); });
    layout->addWidget(toolbar);

    auto* body = new QHBoxLayout;
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("savedConnections"));
    list_->setMinimumWidth(200);
    list_->installEventFilter(this);
    body->addWidget(list_, 2);
    auto* form = new QFormLayout;
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("connectionName"));
    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("connectionType"));
    for (int t = 1; t <= ConnectionStore::kTypeCount; ++t) type_->addItem(typeIcon(t), ConnectionStore::typeText(t));
    type_->setCurrentIndex(-1);
    cs_ = new QLineEdit(this);
    cs_->setObjectName(QStringLiteral("connectionString"));
    showPassword_ = new QCheckBox(QStringLiteral("Show password"), this);
    showPassword_->setObjectName(QStringLiteral("showPassword"));
    connect(showPassword_, &QCheckBox::toggled, this, [this] { showConnectionString(); });
    connect(cs_, &QLineEdit::textEdited, this, [this](const QString& t) { connectionText_ = t; });
    key_ = new QLabel(this);
    key_->setObjectName(QStringLiteral("connectionKey"));
    Theme::setTextRole(key_, Theme::Role::DimText);
    form->addRow(QStringLiteral("Name:"), name_);
    form->addRow(QStringLiteral("Type:"), type_);
    form->addRow(QStringLiteral("Connection string:"), cs_);
    form->addRow(QString(), showPassword_);
    form->addRow(QStringLiteral("Key:"), key_);
    body->addLayout(form, 3);
    layout->addLayout(body, 1);

    auto* buttons = new QHBoxLayout;
    width_ = new QPushButton(QStringLiteral(">>"), this);
    width_->setObjectName(QStringLiteral("widthToggle"));
    width_->setFixedWidth(40);
    auto* connectButton = new QPushButton(QStringLiteral("Connect"), this);
    connectButton->setObjectName(QStringLiteral("connectButton"));
    connectButton->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    passwordStore_ = new QLabel(this);
    passwordStore_->setObjectName(QStringLiteral("passwordStore"));
    Theme::setTextRole(passwordStore_, Theme::Role::DimText);
    buttons->addWidget(width_);
    buttons->addWidget(passwordStore_);
    buttons->addStretch();
    buttons->addWidget(connectButton);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(width_, &QPushButton::clicked, this, &ConnectionManager::toggleWidth);
    connect(connectButton, &QPushButton::clicked, this, &ConnectionManager::useSelected);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, &ConnectionManager::select);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        list_->setCurrentItem(item);
        select(list_->row(item));
        useSelected();
    });
    resize(kNarrowWidth, 360);
    addConnections();
    showPasswordStore();
}

void ConnectionManager::showPasswordStore() {
    const ConnectionStore::PasswordStore where = ConnectionStore::passwordStore();
    passwordStore_->setText(where.keyring
                                ? QStringLiteral("Passwords are kept in the desktop keyring.")
                                : QStringLiteral("Passwords are kept in vsql.db (no desktop keyring)."));
    passwordStore_->setToolTip(where.keyring
                                   ? QStringLiteral("Saved connections hold a reference in place of the password.")
                                   : where.reason);
}

void ConnectionManager::tell(const QString& notice) {
    if (notice.isEmpty()) return;
    Dialogs::get().message(this, notice);
    showPasswordStore(); // a keyring that failed may no longer be the store
}

void ConnectionManager::addConnections() {
    const auto rows = ConnectionStore::list();
    list_->blockSignals(true);
    list_->clear();
    for (const StoredConnection& c : rows.valueOr({})) {
        auto* item = new QListWidgetItem(typeIcon(c.type), c.name, list_);
        // the row's fields travel with the item, never packed into a key
        item->setData(kRowRole, QVariant::fromValue(QStringList{QString::number(c.primaryKey), c.connectionString,
                                                                QString::number(c.type)}));
        item->setToolTip(db::maskPasswords(c.connectionString));
    }
    list_->blockSignals(false);
    if (!rows) Dialogs::get().message(this, QStringLiteral("Error: ") + rows.error());
}

void ConnectionManager::select(int row) {
    QListWidgetItem* item = list_->item(row);
    if (!item) return;
    const QStringList f = item->data(kRowRole).toStringList();
    const int type = f.value(2).toInt();
    type_->setCurrentIndex(type >= 1 && type <= ConnectionStore::kTypeCount ? type - 1 : -1);
    name_->setText(item->text());
    setConnectionText(f.value(1));
    key_->setText(f.value(0));
}

QString ConnectionManager::primaryKeyText() const { return key_->text(); }

void ConnectionManager::setConnectionText(const QString& text) {
    connectionText_ = text;
    showConnectionString();
}

void ConnectionManager::showConnectionString() {
    // The password is shown only on request; while it is hidden the field
    // cannot be edited, so "****" never replaces the real password.
    const QString masked = db::maskPasswords(connectionText_);
    const bool hidden = masked != connectionText_ && !showPassword_->isChecked();
    cs_->setText(hidden ? masked : connectionText_);
    cs_->setReadOnly(hidden);
    cs_->setToolTip(hidden ? QStringLiteral("Tick \"Show password\" to edit the connection string.") : QString());
}

void ConnectionManager::useSelected() {
    if (connectionText_.isEmpty()) return;
    // The password comes back from the keyring only now, for the document.
    const Result<QString> usable = ConnectionStore::connectionForUse(connectionText_);
    if (!usable) {
        Dialogs::get().message(this, QStringLiteral("Error: ") + usable.error());
        return;
    }
    chosen_ = *usable;
    chosenName_ = name_->text();
    accept();
}

void ConnectionManager::saveSelected() {
    bool ok = false;
    const qint64 pk = key_->text().toLongLong(&ok);
    QString notice;
    const Status r = ok ? ConnectionStore::updateConnection(pk, name_->text(), connectionText_,
                                                            ConnectionStore::typeNumber(type_->currentText()),
                                                            &notice)
                        : Status(fail(QStringLiteral("No saved connection is selected.")));
    if (!r) Dialogs::get().message(this, QStringLiteral("Error: ") + r.error());
    tell(notice);
    addConnections();
    // the fields show the row as stored (a password moved to the keyring reads as its reference)
    if (r) selectKey(pk);
}

void ConnectionManager::deleteSelected() {
    if (Dialogs::get().question(this, QStringLiteral("Do you want to Delete the selected item?"), QStringLiteral("Delete Item"),
                                Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;
    bool ok = false;
    const qint64 pk = key_->text().toLongLong(&ok);
    QString notice;
    const Status r = ok ? ConnectionStore::deleteConnection(pk, &notice)
                        : Status(fail(QStringLiteral("No saved connection is selected.")));
    if (!r) Dialogs::get().message(this, QStringLiteral("Error: ") + r.error());
    tell(notice);
    if (r) {
        name_->clear();
        setConnectionText(QString());
        key_->clear();
        type_->setCurrentIndex(-1);
    }
    addConnections();
}

void ConnectionManager::connectWizardAddon(ConnectionKind kind) {
    // Cancelling the dialog ends the creation: nothing is asked or stored.
    const auto made = Dialogs::get().newConnection(this, kind);
    if (!made) return;
    const auto name = Dialogs::get().input(this, QStringLiteral("Type in a name for the Connection"),
                                           QStringLiteral("Connection Name"),
                                           QStringLiteral("<%1 - %2>").arg(made->providerName, made->defaultDatabase));
    if (!name) return;
    // The type names the dialect of the database that answered.
    const int type = int(ConnectionStore::typeForServer(db::familyOfDbms(made->providerName)));
    const QString question = QStringLiteral("Store %1?\r\nType: %2\r\nConnection String: \r\n%3")
                                 .arg(*name, ConnectionStore::typeText(type), db::maskPasswords(made->connectionString));
    if (Dialogs::get().question(this, question, QStringLiteral("Store Information"), Dialogs::Buttons::YesNo) !=
        Dialogs::Answer::Yes) {
        // No keeps the connection the user just built: it is used, not stored.
        chosen_ = made->connectionString;
        chosenName_ = *name;
        accept();
        return;
    }
    QString notice;
    const Result<qint64> r = ConnectionStore::insertConnection(*name, made->connectionString, type, &notice);
    if (!r) Dialogs::get().message(this, QStringLiteral("Error: ") + r.error());
    tell(notice);
    addConnections();
    if (r) selectKey(*r); // the new connection is ready to use
}

void ConnectionManager::selectKey(qint64 primaryKey) {
    for (int row = 0; row < list_->count(); ++row)
        if (list_->item(row)->data(kRowRole).toStringList().value(0).toLongLong() == primaryKey) {
            list_->setCurrentRow(row);
            select(row);
            return;
        }
}

void ConnectionManager::toggleWidth() {
    const bool narrow = width_->text() == QLatin1String(">>");
    resize(narrow ? kWideWidth : kNarrowWidth, height());
    width_->setText(narrow ? QStringLiteral("<<") : QStringLiteral(">>"));
}

bool ConnectionManager::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            useSelected();
            return true;
        }
        select(list_->currentRow());
    }
    return QDialog::eventFilter(watched, event);
}
