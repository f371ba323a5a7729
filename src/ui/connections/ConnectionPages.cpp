#include "connections/ConnectionPages.h"

#include "connections/ConnectionForm.h"
#include "db/ConnectionProfile.h"
#include "db/OdbcSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit* textField(QWidget* parent, const char* name, const QString& placeholder = QString()) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setPlaceholderText(placeholder);
    return e;
}

// A file field with a "Browse..." button beside it.
QHBoxLayout* fileRow(QWidget* parent, QLineEdit* edit, const QString& title, const QString& filter) {
    auto* row = new QHBoxLayout;
    auto* browse = new QPushButton(QStringLiteral("Browse..."), parent);
    row->addWidget(edit, 1);
    row->addWidget(browse);
    QObject::connect(browse, &QPushButton::clicked, edit, [edit, title, filter] {
        const QString f = QFileDialog::getOpenFileName(edit->window(), title, edit->text(), filter);
        if (!f.isEmpty()) edit->setText(f);
    });
    return row;
}

const QString kPemFiles = QStringLiteral("Certificates and keys (*.pem *.crt *.key);;All Files (*)");

QComboBox* choice(QWidget* parent, const char* name,
                  const std::vector<std::pair<const char*, const char*>>& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (const auto& [text, value] : items)
        box->addItem(QLatin1String(text), QLatin1String(value));
    return box;
}

// The TLS files of a server, under the keys its clients read.
QGroupBox* tlsGroup(QWidget* parent, ConnectionForm* form, QComboBox* mode, const char* ca, const char* cert,
                    const char* key) {
    auto* group = new QGroupBox(QStringLiteral("TLS"), parent);
    auto* f = new QFormLayout(group);
    f->addRow(QStringLiteral("Mode:"), mode);
    const std::pair<const char*, const char*> files[] = {{"tlsCa", ca}, {"tlsCert", cert}, {"tlsKey", key}};
    const char* labels[] = {"CA certificate:", "Client certificate:", "Client key:"};
    for (size_t i = 0; i < std::size(files); ++i) {
        auto* e = textField(group, files[i].first);
        form->bindText(e, {QLatin1String(files[i].second)});
        f->addRow(QLatin1String(labels[i]), fileRow(group, e, QLatin1String(labels[i]), kPemFiles));
    }
    return group;
}

} // namespace

ServerPage makeServerPage(QWidget* parent, ConnectionForm* form) {
    ServerPage s;
    s.page = new QWidget(parent);
    auto* f = new QFormLayout(s.page);
    s.drivers = choice(s.page, "driver", {});
    for (const QString& d : db::odbc::installedDrivers())
        s.drivers->addItem(d, d);
    form->bindChoice(s.drivers, QStringLiteral("Driver"));
    f->addRow(QStringLiteral("Driver:"), s.drivers);
    s.driverRow = s.drivers;
    const struct {
        const char* name;
        const char* label;
        QStringList keys;
        const char* placeholder;
    } fields[] = {
        {"server", "Host:", {"Server", "Host", "Servername"}, "localhost"},
        {"port", "Port:", {"Port"}, ""},
        {"database", "Database:", {"Database", "DB", "Dbname"}, ""},
        {"user", "User:", {"Uid", "User", "UserName"}, ""},
        {"password", "Password:", {"Pwd", "Password"}, ""},
    };
    for (const auto& field : fields) {
        QLineEdit* e = textField(s.page, field.name, QLatin1String(field.placeholder));
        if (qstrcmp(field.name, "password") == 0) e->setEchoMode(QLineEdit::Password);
        form->bindText(e, field.keys);
        f->addRow(QLatin1String(field.label), e);
    }
    // PostgreSQL: libpq's sslmode and files
    QComboBox* pgMode = choice(s.page, "tlsMode",
                               {{"Default (libpq's: prefer)", ""},
                                {"Off", "disable"},
                                {"Prefer", "prefer"},
                                {"Required", "require"},
                                {"Verify CA", "verify-ca"},
                                {"Verify CA and host name", "verify-full"}});
    form->bindChoice(pgMode, QStringLiteral("sslmode"));
    s.postgresTls = tlsGroup(s.page, form, pgMode, "sslrootcert", "sslcert", "sslkey");
    // MariaDB/MySQL: FORCETLS and SSLVERIFY together make the mode
    QComboBox* mariaMode = choice(s.page, "tlsMode",
                                  {{"Default (TLS when files are given)", ""},
                                   {"Required", "require"},
                                   {"Verify CA and host name", "verify"}});
    const auto mariaChanged = form->bindCustom(
        [mariaMode](const db::ConnectionString& cs) {
            const bool verify = db::isTrueValue(cs.value(QStringLiteral("SSLVERIFY")).value_or(QString()));
            const bool force = db::isTrueValue(cs.value(QStringLiteral("FORCETLS")).value_or(QString()));
            mariaMode->setCurrentIndex(verify ? 2 : force ? 1 : 0);
        },
        [mariaMode](db::ConnectionString& cs) {
            cs.remove(QStringLiteral("FORCETLS"));
            cs.remove(QStringLiteral("SSLVERIFY"));
            if (mariaMode->currentIndex() >= 1) cs.set(QStringLiteral("FORCETLS"), QStringLiteral("1"));
            if (mariaMode->currentIndex() == 2) cs.set(QStringLiteral("SSLVERIFY"), QStringLiteral("1"));
        });
    QObject::connect(mariaMode, &QComboBox::currentIndexChanged, form, mariaChanged);
    s.mariaTls = tlsGroup(s.page, form, mariaMode, "SSLCA", "SSLCERT", "SSLKEY");
    f->addRow(s.postgresTls);
    f->addRow(s.mariaTls);
    return s;
}

QWidget* makeSqlitePage(QWidget* parent, ConnectionForm* form) {
    auto* page = new QWidget(parent);
    auto* f = new QFormLayout(page);
    QLineEdit* file = textField(page, "file", QStringLiteral("/path/to/database.db"));
    form->bindText(file, {QStringLiteral("Data Source"), QStringLiteral("Database")});
    f->addRow(QStringLiteral("Database file:"),
              fileRow(page, file, QStringLiteral("SQLite Database"),
                      QStringLiteral("SQLite databases (*.db *.sqlite *.sqlite3);;All Files (*)")));
    return page;
}

DataSourcePage makeDataSourcePage(QWidget* parent, ConnectionForm* form) {
    DataSourcePage d;
    d.page = new QWidget(parent);
    auto* f = new QFormLayout(d.page);
    d.dataSources = choice(d.page, "dsn", {});
    d.dataSources->setEditable(true);
    for (const QString& s : db::odbc::dataSources())
        d.dataSources->addItem(s, s);
    form->bindChoice(d.dataSources, QStringLiteral("DSN"));
    f->addRow(QStringLiteral("Data source:"), d.dataSources);
    QLineEdit* user = textField(d.page, "dsnUser");
    QLineEdit* password = textField(d.page, "dsnPassword");
    password->setEchoMode(QLineEdit::Password);
    form->bindText(user, {QStringLiteral("Uid"), QStringLiteral("User")});
    form->bindText(password, {QStringLiteral("Pwd"), QStringLiteral("Password")});
    f->addRow(QStringLiteral("User:"), user);
    f->addRow(QStringLiteral("Password:"), password);
    return d;
}

QWidget* makeSshPage(QWidget* parent, ConnectionForm* form) {
    auto* page = new QWidget(parent);
    auto* f = new QFormLayout(page);
    auto* note =
        new QLabel(QStringLiteral("Reach the server through an SSH jump host with the system's ssh client: "
                                  "your ~/.ssh/config, agent and known_hosts apply. Leave the host empty "
                                  "to connect directly."),
                   page);
    note->setWordWrap(true);
    f->addRow(note);
    const struct {
        const char* name;
        const char* label;
        const char* key;
        const char* placeholder;
    } fields[] = {
        {"sshHost", "Jump host:", "SshHost", "host name, or an alias of ~/.ssh/config"},
        {"sshPort", "Port:", "SshPort", "22, or the alias's"},
        {"sshUser", "User:", "SshUser", "yours, or the alias's"},
        {"sshKey", "Key file:", "SshKey", "empty: the agent and your usual keys"},
        {"sshConfig", "ssh config file:", "SshConfig", "empty: ~/.ssh/config"},
    };
    for (const auto& field : fields) {
        QLineEdit* e = textField(page, field.name, QLatin1String(field.placeholder));
        form->bindText(e, {QLatin1String(field.key)});
        if (qstrcmp(field.name, "sshKey") == 0)
            f->addRow(QLatin1String(field.label),
                      fileRow(page, e, QStringLiteral("SSH Key"), QStringLiteral("All Files (*)")));
        else
            f->addRow(QLatin1String(field.label), e);
    }
    return page;
}

QWidget* makeSafetyPage(QWidget* parent, ConnectionForm* form) {
    auto* page = new QWidget(parent);
    auto* f = new QFormLayout(page);
    auto* readOnly = new QCheckBox(QStringLiteral("Read-only: the server refuses every write"), page);
    readOnly->setObjectName(QStringLiteral("readOnly"));
    form->bindCheck(readOnly, QStringLiteral("ReadOnly"));
    f->addRow(readOnly);
    QComboBox* environment = choice(page, "environment",
                                    {{"", ""},
                                     {"development", "development"},
                                     {"test", "test"},
                                     {"staging", "staging"},
                                     {"production", "production"}});
    environment->setEditable(true);
    form->bindChoice(environment, QStringLiteral("Environment"));
    f->addRow(QStringLiteral("Environment:"), environment);
    QComboBox* colour = choice(page, "environmentColor",
                               {{"", ""},
                                {"#c62828", "#c62828"},
                                {"#ef6c00", "#ef6c00"},
                                {"#2e7d32", "#2e7d32"},
                                {"#1565c0", "#1565c0"},
                                {"#6a1b9a", "#6a1b9a"}});
    colour->setEditable(true);
    for (int i = 1; i < colour->count(); ++i) {
        QPixmap swatch(12, 12);
        swatch.fill(QColor(colour->itemText(i)));
        colour->setItemIcon(i, QIcon(swatch));
    }
    form->bindChoice(colour, QStringLiteral("EnvironmentColor"));
    f->addRow(QStringLiteral("Colour:"), colour);
    // on by default for "production"; a choice against the default is kept in the string
    auto* confirm = new QCheckBox(QStringLiteral("Ask before a run that changes data"), page);
    confirm->setObjectName(QStringLiteral("confirmChanges"));
    const auto confirmChanged = form->bindCustom(
        [confirm](const db::ConnectionString& cs) {
            confirm->setChecked(db::ConnectionProfile::of(cs).confirmChanges);
        },
        [confirm](db::ConnectionString& cs) {
            cs.remove(QStringLiteral("ConfirmChanges"));
            if (db::ConnectionProfile::of(cs).confirmChanges != confirm->isChecked())
                cs.set(QStringLiteral("ConfirmChanges"),
                       confirm->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
        });
    QObject::connect(confirm, &QCheckBox::toggled, form, confirmChanged);
    f->addRow(confirm);
    return page;
}
