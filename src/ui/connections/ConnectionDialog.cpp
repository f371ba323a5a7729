#include "connections/ConnectionDialog.h"

#include "base/Background.h"
#include "connections/ConnectionForm.h"
#include "connections/ConnectionPages.h"
#include "db/BackendChoice.h"
#include "common/Theme.h"
#include "db/Connection.h"
#include "db/ConnectionProfile.h"
#include "db/ConnectionString.h"
#include "db/ConnectionUri.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int kTestTimeoutSeconds = 10;
enum Page { ServerPageIndex, SqlitePageIndex, DataSourcePageIndex };

bool isServerKind(ConnectionKind k) {
    return k == ConnectionKind::PostgreSql || k == ConnectionKind::MariaDb || k == ConnectionKind::OdbcDriver;
}

// The kind a string stands for; the current one while it fits. A URI says
// its server outright. Another driver than the current server's means the
// ODBC kind only once the string is settled (Enter, or the focus gone):
// while "Driver=PostgreSQL Unicode" is typed, "Driver=Postg" is no other one.
ConnectionKind kindOf(const QString& text, const db::ConnectionString& cs, ConnectionKind current,
                      bool settled) {
    if (cs.isSqlite()) return ConnectionKind::SqliteFile;
    if (!cs.has(QStringLiteral("Driver")))
        return cs.has(QStringLiteral("DSN")) ? ConnectionKind::OdbcDataSource : current;
    if (current == ConnectionKind::OdbcDriver && !db::isConnectionUri(text)) return current; // any driver
    switch (db::familyOfConnectionString(cs)) {
    case db::ServerFamily::PostgreSQL:
        return ConnectionKind::PostgreSql;
    case db::ServerFamily::MariaDB:
        return ConnectionKind::MariaDb;
    default:
        return settled ? ConnectionKind::OdbcDriver : current;
    }
}

} // namespace

ConnectionDialog::ConnectionDialog(QWidget* parent, ConnectionKind initial)
    : QDialog(parent), form_(new ConnectionForm(this)) {
    setWindowTitle(QStringLiteral("New Connection"));
    setMinimumWidth(560);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QFormLayout;
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("kind"));
    const std::pair<const char*, ConnectionKind> kinds[] = {
        {"PostgreSQL", ConnectionKind::PostgreSql},
        {"MariaDB / MySQL", ConnectionKind::MariaDb},
        {"SQLite file", ConnectionKind::SqliteFile},
        {"ODBC driver", ConnectionKind::OdbcDriver},
        {"ODBC data source (DSN)", ConnectionKind::OdbcDataSource}};
    for (const auto& [text, k] : kinds)
        kind_->addItem(QLatin1String(text), int(k));
    top->addRow(QStringLiteral("Connect to:"), kind_);
    layout->addLayout(top);

    tabs_ = new QTabWidget(this);
    pages_ = new QStackedWidget(tabs_);
    server_ = std::make_unique<ServerPage>(makeServerPage(pages_, form_));
    pages_->addWidget(server_->page);
    pages_->addWidget(makeSqlitePage(pages_, form_));
    const DataSourcePage dsn = makeDataSourcePage(pages_, form_);
    dataSources_ = dsn.dataSources;
    pages_->addWidget(dsn.page);
    tabs_->addTab(pages_, QStringLiteral("Connection"));
    tabs_->addTab(makeSshPage(tabs_, form_), QStringLiteral("SSH Tunnel"));
    tabs_->addTab(makeSafetyPage(tabs_, form_), QStringLiteral("Safety"));
    layout->addWidget(tabs_);

    auto* rawRow = new QFormLayout;
    raw_ = new QLineEdit(this);
    raw_->setObjectName(QStringLiteral("connectionString"));
    raw_->setPlaceholderText(
        QStringLiteral("key=value;… or a URI: postgresql://user@host/db, mysql://…, sqlite:///file.db"));
    raw_->setToolTip(
        QStringLiteral("The connection string the fields make; edit it, or paste one, and the fields "
                       "follow. The password shows as ****."));
    rawRow->addRow(QStringLiteral("Connection string:"), raw_);
    layout->addLayout(rawRow);

    auto* testRow = new QHBoxLayout;
    test_ = new QPushButton(QStringLiteral("&Test Connection"), this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("testStatus"));
    status_->setWordWrap(true);
    testRow->addWidget(test_);
    testRow->addWidget(status_, 1);
    layout->addLayout(testRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &ConnectionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(test_, &QPushButton::clicked, this, &ConnectionDialog::testConnection);
    connect(kind_, &QComboBox::currentIndexChanged, this, &ConnectionDialog::kindChosen);
    connect(form_, &ConnectionForm::edited, this, [this] {
        rememberPassword();
        showConnectionText();
    });
    connect(raw_, &QLineEdit::textEdited, this, &ConnectionDialog::connectionTextEdited);
    connect(raw_, &QLineEdit::editingFinished, this, &ConnectionDialog::connectionTextSettled);
    setKind(initial);
}

ConnectionDialog::~ConnectionDialog() = default;

ConnectionKind ConnectionDialog::kind() const {
    return ConnectionKind(kind_->currentData().toInt());
}

void ConnectionDialog::setKind(ConnectionKind k) {
    if (k == kind() && !form_->model().isEmpty()) return;
    const QSignalBlocker quiet(kind_);
    kind_->setCurrentIndex(kind_->findData(int(k)));
    kindChosen();
}

void ConnectionDialog::showKind(ConnectionKind k) {
    {
        const QSignalBlocker quiet(kind_);
        kind_->setCurrentIndex(kind_->findData(int(k)));
    }
    pages_->setCurrentIndex(isServerKind(k)                   ? ServerPageIndex
                            : k == ConnectionKind::SqliteFile ? SqlitePageIndex
                                                              : DataSourcePageIndex);
    server_->driverRow->setVisible(k == ConnectionKind::OdbcDriver);
    if (auto* label = qobject_cast<QFormLayout*>(server_->page->layout())->labelForField(server_->driverRow))
        label->setVisible(k == ConnectionKind::OdbcDriver);
    server_->postgresTls->setVisible(k == ConnectionKind::PostgreSql);
    server_->mariaTls->setVisible(k == ConnectionKind::MariaDb);
    tabs_->setTabEnabled(1, k != ConnectionKind::SqliteFile); // no tunnel to a file
}

void ConnectionDialog::kindChosen() {
    const ConnectionKind k = kind();
    const db::ConnectionString old = form_->model();
    db::ConnectionString next;
    auto carry = [&](const QStringList& names) {
        for (const QString& n : names)
            if (const auto v = old.value(n)) {
                next.set(names.first(), *v);
                return;
            }
    };
    switch (k) {
    case ConnectionKind::PostgreSql:
        next.set(QStringLiteral("Driver"), QStringLiteral("PostgreSQL Unicode"));
        break;
    case ConnectionKind::MariaDb:
        next.set(QStringLiteral("Driver"), QStringLiteral("MariaDB Unicode"));
        break;
    case ConnectionKind::OdbcDriver:
        if (!server_->drivers->currentText().isEmpty())
            next.set(QStringLiteral("Driver"), server_->drivers->currentText());
        break;
    case ConnectionKind::SqliteFile:
        next.set(QStringLiteral("Provider"), QStringLiteral("SQLite"));
        if (old.isSqlite())
            carry({QStringLiteral("Data Source"), QStringLiteral("Database")});
        else
            next.set(QStringLiteral("Data Source"), QString());
        break;
    case ConnectionKind::OdbcDataSource:
        next.set(QStringLiteral("DSN"), dataSources_->currentText());
        break;
    }
    if (isServerKind(k))
        for (const char* key : {"Server", "Port", "Database"})
            carry({QLatin1String(key)});
    if (k != ConnectionKind::SqliteFile) {
        carry({QStringLiteral("Uid"), QStringLiteral("User")});
        carry({QStringLiteral("Pwd"), QStringLiteral("Password")});
    }
    for (const QString& key : db::ConnectionProfile::keys())
        if (k != ConnectionKind::SqliteFile || !key.startsWith(QLatin1String("Ssh"))) carry({key});
    form_->setModel(next);
    showKind(k);
    showConnectionText();
}

void ConnectionDialog::showConnectionText() {
    raw_->setText(db::maskPasswords(form_->model().toString()));
}

void ConnectionDialog::connectionTextEdited(const QString& text) {
    db::ConnectionString typed(text);
    // Stars stand for the password the dialog holds (typing them back one by
    // one, or retyping the line, keeps it).
    for (const char* key : {"Pwd", "Password"})
        if (const auto v = typed.value(QLatin1String(key));
            v && !v->isEmpty() && *v == QString(v->size(), QLatin1Char('*')))
            typed.set(QLatin1String(key), password_);
    form_->setModel(typed);
    rememberPassword();
    showKind(kindOf(text, typed, kind(), false));
}

void ConnectionDialog::connectionTextSettled() {
    showKind(kindOf(raw_->text(), form_->model(), kind(), true));
}

void ConnectionDialog::rememberPassword() {
    const db::ConnectionString& cs = form_->model();
    const QString p =
        cs.value(QStringLiteral("Pwd")).value_or(cs.value(QStringLiteral("Password")).value_or(QString()));
    if (!p.isEmpty() && p != QString(p.size(), QLatin1Char('*'))) password_ = p;
}

void ConnectionDialog::setConnectionText(const QString& text) {
    raw_->setText(text);
    connectionTextEdited(text);
    connectionTextSettled();
}

void ConnectionDialog::setField(const QString& name, const QString& value) {
    if (name == QLatin1String("advanced")) {
        db::ConnectionString cs = form_->model();
        for (const db::ConnectionStringPiece& p : db::scanConnectionString(value))
            cs.set(p.key, p.value);
        form_->setModel(cs);
        showConnectionText();
        return;
    }
    QWidget* target = nullptr;
    for (QWidget* w : findChildren<QWidget*>(name))
        if (!target || w->isVisibleTo(this)) target = w;
    if (auto* e = qobject_cast<QLineEdit*>(target))
        e->setText(value);
    else if (auto* box = qobject_cast<QCheckBox*>(target))
        box->setChecked(db::isTrueValue(value));
    else if (auto* c = qobject_cast<QComboBox*>(target)) {
        const int i = c->findData(value, Qt::UserRole, Qt::MatchFixedString);
        if (c->isEditable() && i < 0)
            c->setEditText(value);
        else
            c->setCurrentIndex(i);
    }
}

QString ConnectionDialog::connectionString() const {
    return form_->model().toString();
}

ConnectionDialog::Probe ConnectionDialog::probe(const QString& cs) {
    Probe p;
    try {
        auto conn = db::Connection::open(cs, {kTestTimeoutSeconds, false});
        p.ok = true;
        p.providerName = conn->providerName();
        p.defaultDatabase = conn->defaultDatabase();
        p.message = QStringLiteral("Connected: %1 %2").arg(p.providerName, conn->serverVersion());
        const db::ConnectionString given(cs);
        const QString note =
            db::backendNote(db::chooseBackend(db::withoutEditorKeys(given), given.wantsOdbc()));
        if (!note.isEmpty()) p.message += QStringLiteral("\n") + note;
    } catch (const db::Error& e) {
        p.message = db::scrubSecrets(e.description(), db::passwordValues(cs));
    }
    return p;
}

void ConnectionDialog::runProbe(QPushButton* button, const std::function<void(const Probe&)>& done) {
    if (busy_) return;
    busy_ = true;
    button->setEnabled(false);
    Theme::setTextRole(status_, std::nullopt);
    status_->setText(QStringLiteral("Connecting..."));
    const QString cs = connectionString();
    runInBackground<Probe>(this, [cs] { return probe(cs); }, [this, button, done](Probe p) {
        busy_ = false;
        button->setEnabled(true);
        Theme::setTextRole(status_, p.ok ? Theme::Role::SuccessText : Theme::Role::FailureText);
        status_->setText(p.message);
        done(p);
    });
}

void ConnectionDialog::testConnection() {
    runProbe(test_, [this](const Probe& p) { emit testFinished(p.ok); });
}

QString ConnectionDialog::testStatus() const {
    return status_->text();
}

void ConnectionDialog::accept() {
    const QString cs = connectionString();
    runProbe(ok_, [this, cs](const Probe& p) {
        if (!p.ok &&
            Dialogs::get().question(
                this,
                QStringLiteral("The connection could not be opened:\n%1\n\nUse it anyway?").arg(p.message),
                QStringLiteral("New Connection"), Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
            return;
        result_ = {cs, p.defaultDatabase, p.providerName};
        QDialog::accept();
    });
}
