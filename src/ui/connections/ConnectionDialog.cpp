#include "connections/ConnectionDialog.h"

#include "base/Background.h"
#include "common/Theme.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/OdbcSupport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
constexpr int kTestTimeoutSeconds = 10;

} // namespace

ConnectionDialog::ConnectionDialog(QWidget* parent, ConnectionKind initial) : QDialog(parent) {
    setWindowTitle(QStringLiteral("New Connection"));
    setMinimumWidth(520);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QFormLayout;
    kind_ = new QComboBox(this);
    kind_->addItems({QStringLiteral("SQLite file"), QStringLiteral("ODBC driver"), QStringLiteral("ODBC data source (DSN)")});
    top->addRow(QStringLiteral("Connect with:"), kind_);
    layout->addLayout(top);

    pages_ = new QStackedWidget(this);
    // SQLite file
    auto* sqlitePage = new QWidget(pages_);
    auto* sqliteForm = new QFormLayout(sqlitePage);
    auto* fileRow = new QHBoxLayout;
    file_ = new QLineEdit(sqlitePage);
    file_->setPlaceholderText(QStringLiteral("/path/to/database.db"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."), sqlitePage);
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse);
    sqliteForm->addRow(QStringLiteral("Database file:"), fileRow);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString f = QFileDialog::getOpenFileName(this, QStringLiteral("SQLite Database"), file_->text(),
                                                       QStringLiteral("SQLite databases (*.db *.sqlite *.sqlite3);;All Files (*)"));
        if (!f.isEmpty()) file_->setText(f);
    });
    // ODBC driver
    auto* driverPage = new QWidget(pages_);
    auto* driverForm = new QFormLayout(driverPage);
    drivers_ = new QComboBox(driverPage);
    drivers_->addItems(db::odbc::installedDrivers());
    server_ = new QLineEdit(driverPage);
    port_ = new QLineEdit(driverPage);
    database_ = new QLineEdit(driverPage);
    user_ = new QLineEdit(driverPage);
    password_ = new QLineEdit(driverPage);
    password_->setEchoMode(QLineEdit::Password);
    server_->setPlaceholderText(QStringLiteral("localhost"));
    driverForm->addRow(QStringLiteral("Driver:"), drivers_);
    driverForm->addRow(QStringLiteral("Server:"), server_);
    driverForm->addRow(QStringLiteral("Port:"), port_);
    driverForm->addRow(QStringLiteral("Database:"), database_);
    driverForm->addRow(QStringLiteral("User:"), user_);
    driverForm->addRow(QStringLiteral("Password:"), password_);
    // ODBC data source
    auto* dsnPage = new QWidget(pages_);
    auto* dsnForm = new QFormLayout(dsnPage);
    dataSources_ = new QComboBox(dsnPage);
    dataSources_->addItems(db::odbc::dataSources());
    dataSources_->setEditable(true);
    dsnUser_ = new QLineEdit(dsnPage);
    dsnPassword_ = new QLineEdit(dsnPage);
    dsnPassword_->setEchoMode(QLineEdit::Password);
    dsnForm->addRow(QStringLiteral("Data source:"), dataSources_);
    dsnForm->addRow(QStringLiteral("User:"), dsnUser_);
    dsnForm->addRow(QStringLiteral("Password:"), dsnPassword_);
    pages_->addWidget(sqlitePage);
    pages_->addWidget(driverPage);
    pages_->addWidget(dsnPage);
    layout->addWidget(pages_);

    auto* more = new QFormLayout;
    advanced_ = new QLineEdit(this);
    advanced_->setPlaceholderText(QStringLiteral("further keys, e.g. sslmode=require;"));
    more->addRow(QStringLiteral("Advanced:"), advanced_);
    preview_ = new QLabel(this);
    preview_->setWordWrap(true);
    preview_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Theme::setTextRole(preview_, Theme::Role::DimText);
    more->addRow(QStringLiteral("Connection string:"), preview_);
    layout->addLayout(more);

    auto* testRow = new QHBoxLayout;
    test_ = new QPushButton(QStringLiteral("&Test Connection"), this);
    status_ = new QLabel(this);
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
    connect(kind_, &QComboBox::currentIndexChanged, this, [this](int i) {
        pages_->setCurrentIndex(i);
        updatePreview();
    });
    for (QLineEdit* e : {file_, server_, port_, database_, user_, password_, dsnUser_, dsnPassword_, advanced_})
        connect(e, &QLineEdit::textChanged, this, &ConnectionDialog::updatePreview);
    connect(drivers_, &QComboBox::currentTextChanged, this, &ConnectionDialog::updatePreview);
    connect(dataSources_, &QComboBox::currentTextChanged, this, &ConnectionDialog::updatePreview);
    setKind(initial);
    updatePreview();
}

void ConnectionDialog::setKind(ConnectionKind k) {
    kind_->setCurrentIndex(int(k)); // the items are in the order of ConnectionKind
    pages_->setCurrentIndex(int(k));
}

QLineEdit* ConnectionDialog::field(const QString& name) const {
    static const char* const names[] = {"file", "server", "port", "database", "user", "password", "advanced"};
    QLineEdit* const edits[] = {file_, server_, port_, database_, user_, password_, advanced_};
    for (size_t i = 0; i < std::size(names); ++i)
        if (name == QLatin1String(names[i])) return edits[i];
    return nullptr;
}

void ConnectionDialog::setField(const QString& name, const QString& value) {
    if (name == QLatin1String("driver")) drivers_->setCurrentText(value);
    else if (name == QLatin1String("dsn")) dataSources_->setCurrentText(value);
    else if (QLineEdit* e = field(name)) e->setText(value);
}

QString ConnectionDialog::connectionString() const {
    QString cs;
    switch (ConnectionKind(kind_->currentIndex())) {
    case ConnectionKind::SqliteFile: cs = db::sqliteConnectionString(file_->text().trimmed()); break;
    case ConnectionKind::OdbcDriver: {
        // driver names are written in braces, as the driver manager lists them
        cs = QStringLiteral("Driver={%1};").arg(QString(drivers_->currentText()).replace(QLatin1Char('}'), QLatin1String("}}")));
        auto add = [&](const char* key, const QLineEdit* e) {
            if (!e->text().isEmpty()) cs += QLatin1String(key) + QLatin1Char('=') + db::quoteValue(e->text()) + QLatin1Char(';');
        };
        add("Server", server_);
        add("Port", port_);
        add("Database", database_);
        add("Uid", user_);
        add("Pwd", password_);
        break;
    }
    case ConnectionKind::OdbcDataSource:
        cs = QStringLiteral("DSN=") + db::quoteValue(dataSources_->currentText()) + QLatin1Char(';');
        if (!dsnUser_->text().isEmpty()) cs += QStringLiteral("Uid=") + db::quoteValue(dsnUser_->text()) + QLatin1Char(';');
        if (!dsnPassword_->text().isEmpty()) cs += QStringLiteral("Pwd=") + db::quoteValue(dsnPassword_->text()) + QLatin1Char(';');
        break;
    }
    QString extra = advanced_->text().trimmed();
    if (!extra.isEmpty()) {
        if (!extra.endsWith(QLatin1Char(';'))) extra += QLatin1Char(';');
        cs += extra;
    }
    return cs;
}

void ConnectionDialog::updatePreview() { preview_->setText(db::maskPasswords(connectionString())); }

ConnectionDialog::Probe ConnectionDialog::probe(const QString& cs) {
    Probe p;
    try {
        auto conn = db::Connection::open(cs, {kTestTimeoutSeconds, false});
        p.ok = true;
        p.providerName = conn->providerName();
        p.defaultDatabase = conn->defaultDatabase();
        p.message = QStringLiteral("Connected: %1 %2").arg(p.providerName, conn->serverVersion());
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

QString ConnectionDialog::testStatus() const { return status_->text(); }

void ConnectionDialog::accept() {
    const QString cs = connectionString();
    runProbe(ok_, [this, cs](const Probe& p) {
        if (!p.ok &&
            Dialogs::get().question(this, QStringLiteral("The connection could not be opened:\n%1\n\nUse it anyway?").arg(p.message),
                                    QStringLiteral("New Connection"), Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
            return;
        result_ = {cs, p.defaultDatabase, p.providerName};
        QDialog::accept();
    });
}
