// The connection manager and the connection dialog with scripted answers;
// and with saved passwords in the desktop keyring (an in-memory stand-in): the
// label naming the store, what vsql.db holds after a save, and the password
// handed to the document only on Connect.
#include "connections/ConnectionManager.h"

#include "common/DocumentContext.h"
#include "connections/ConnectionDialog.h"
#include "db/ConnectionString.h"
#include "db/ServerFamily.h"
#include "document/DocumentToolbar.h"
#include "document/QueryDocument.h"
#include "store/ConnectionStore.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "support/MemorySecretStore.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/TestServers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class ManagerFixture : public ::testing::Test {
protected:
    void SetUp() override { store::ensureSeeded(); }
    TempHome home;
    ScriptedDialogs dialogs;
};

class ConnectionManagerTest : public ManagerFixture {
protected:
    void SetUp() override {
        ManagerFixture::SetUp();
        ASSERT_TRUE(ConnectionStore::insertConnection(QStringLiteral("Warehouse | main"),
                                                      QStringLiteral("Driver={X};Pwd=s3cr3t;"), 3)
                        .ok());
    }
    int rowNamed(ConnectionManager& m, const QString& name) {
        for (int i = 0; i < m.list()->count(); ++i)
            if (m.list()->item(i)->text() == name) return i;
        return -1;
    }
};

class KeyringManagerTest : public ManagerFixture {
protected:
    // Every cn_string of vsql.db, read straight from the table.
    QStringList rawStrings() {
        QStringList out;
        for (const auto& row :
             ResourceDb::open()->query(QStringLiteral("SELECT cn_string FROM connections")).rows)
            out << row.at(0).value_or(QString());
        return out;
    }
    void create(ConnectionManager& m, const QString& cs) {
        dialogs.connections = {NewConnection{cs, QStringLiteral("shop"), QStringLiteral("PostgreSQL")}};
        dialogs.inputs = {QStringLiteral("Shop")};
        dialogs.answers = {Dialogs::Answer::Yes};
        m.connectWizardAddon(ConnectionKind::OdbcDriver);
    }

    ScopedSecretStore<MemorySecretStore> keyring{true};
};
const QString kString = QStringLiteral("Driver={PostgreSQL Unicode};Server=db;Uid=me;Pwd=Hunter2-x;");
} // namespace

TEST_F(ConnectionManagerTest, ListsSelectsAndSavesKeepingTheType) {
    ConnectionManager m;
    EXPECT_EQ(m.windowTitle(), QStringLiteral("SQL Connection Manager"));
    ASSERT_EQ(m.list()->count(), 2); // the demo and ours
    const int row = rowNamed(m, QStringLiteral("Warehouse | main"));
    ASSERT_GE(row, 0);
    m.list()->setCurrentRow(row);
    EXPECT_EQ(m.typeBox()->currentText(), QStringLiteral("ANSI SQL"));
    EXPECT_EQ(m.connectionText(), QStringLiteral("Driver={X};Pwd=s3cr3t;")); // "|" in names is harmless
    EXPECT_EQ(m.nameField()->text(), QStringLiteral("Warehouse | main"));
    m.nameField()->setText(QStringLiteral("Warehouse"));
    m.saveSelected();
    const auto rows = ConnectionStore::list().value();
    EXPECT_EQ(rows.back().name, QStringLiteral("Warehouse"));
    EXPECT_EQ(rows.back().type, 3);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    QStringList types;
    for (int i = 0; i < m.typeBox()->count(); ++i)
        types << m.typeBox()->itemText(i);
    EXPECT_EQ(types, (QStringList{"T-SQL (MS SQL)", "JET SQL", "ANSI SQL", "PostgreSQL", "MySQL/MariaDB",
                                  "SQLite"}));
}

TEST_F(ConnectionManagerTest, ThePasswordIsMaskedUntilShownAndNeverReplacedByTheMask) {
    ConnectionManager m;
    m.list()->setCurrentRow(rowNamed(m, QStringLiteral("Warehouse | main")));
    EXPECT_EQ(m.connectionField()->text(), QStringLiteral("Driver={X};Pwd=****;"));
    EXPECT_TRUE(m.connectionField()->isReadOnly()); // editing the mask would store "****"
    m.showPasswordBox()->setChecked(true);
    EXPECT_EQ(m.connectionField()->text(), QStringLiteral("Driver={X};Pwd=s3cr3t;"));
    EXPECT_FALSE(m.connectionField()->isReadOnly());
    m.connectionField()->selectAll();
    QTest::keyClicks(m.connectionField(), QStringLiteral("Driver={X};Pwd=n3w-pass;"));
    m.showPasswordBox()->setChecked(false);
    EXPECT_EQ(m.connectionField()->text(), QStringLiteral("Driver={X};Pwd=****;"));
    m.saveSelected();
    bool found = false;
    for (const auto& c : ConnectionStore::list().value())
        if (c.name == QLatin1String("Warehouse | main")) {
            found = true;
            EXPECT_EQ(c.connectionString, QStringLiteral("Driver={X};Pwd=n3w-pass;"));
        }
    EXPECT_TRUE(found);
    // the list's tool tip never shows it either
    for (int i = 0; i < m.list()->count(); ++i)
        EXPECT_FALSE(m.list()->item(i)->toolTip().contains(QStringLiteral("n3w")));
}

TEST_F(ConnectionManagerTest, SaveOrDeleteWithoutASelectionSaysErrorAndDeleteAsksFirst) {
    ConnectionManager m;
    m.saveSelected();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("Error: ")));
    m.list()->setCurrentRow(rowNamed(m, QStringLiteral("Warehouse | main")));
    dialogs.answers = {Dialogs::Answer::No};
    m.deleteSelected();
    EXPECT_EQ(ConnectionStore::list().value().size(), 2u);
    EXPECT_EQ(dialogs.questions.value(0), QStringLiteral("Do you want to Delete the selected item?"));
    dialogs.answers = {Dialogs::Answer::Yes};
    m.deleteSelected();
    EXPECT_EQ(ConnectionStore::list().value().size(), 1u);
    EXPECT_EQ(m.list()->count(), 1);
}

TEST_F(ConnectionManagerTest, ConnectDoubleClickAndEnterHandTheStringOver) {
    {
        ConnectionManager m;
        m.useSelected(); // nothing selected, nothing typed: stays open
        EXPECT_EQ(m.result(), 0);
        m.list()->setCurrentRow(rowNamed(m, QStringLiteral("Warehouse | main")));
        QTest::keyClick(m.list(), Qt::Key_Return);
        EXPECT_EQ(m.result(), int(QDialog::Accepted));
        EXPECT_EQ(m.chosenConnectionString(), QStringLiteral("Driver={X};Pwd=s3cr3t;"));
        EXPECT_EQ(m.chosenName(), QStringLiteral("Warehouse | main"));
    }
    ConnectionManager m;
    const int row = rowNamed(m, store::demoConnectionName());
    emit m.list()->itemDoubleClicked(m.list()->item(row));
    EXPECT_EQ(m.chosenConnectionString(), store::demoConnectionString());
    // a string typed by hand is used as it is
    ConnectionManager typed;
    QTest::keyClicks(typed.connectionField(), QStringLiteral("Provider=SQLite;Data Source=/tmp/x.db"));
    typed.useSelected();
    EXPECT_EQ(typed.chosenConnectionString(), QStringLiteral("Provider=SQLite;Data Source=/tmp/x.db"));
}

TEST_F(ConnectionManagerTest, CreatingAConnectionAsksNameAndStoreWithThePasswordMasked) {
    ConnectionManager m;
    m.connectWizardAddon(ConnectionKind::OdbcDriver); // the dialog is cancelled: nothing else happens
    ASSERT_EQ(dialogs.connectionKinds.size(), 1u);
    EXPECT_EQ(dialogs.connectionKinds[0], ConnectionKind::OdbcDriver);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(ConnectionStore::list().value().size(), 2u);

    dialogs.connections = {
        NewConnection{QStringLiteral("Driver={PostgreSQL Unicode};Server=db;Pwd=Hunter2-x;"),
                      QStringLiteral("shop"), QStringLiteral("PostgreSQL")}};
    dialogs.inputs = {QStringLiteral("Shop on db")};
    dialogs.answers = {Dialogs::Answer::Yes};
    m.connectWizardAddon(ConnectionKind::OdbcDriver);
    ASSERT_EQ(dialogs.questions.size(), 1);
    // the type follows the database that answered
    EXPECT_EQ(dialogs.questions[0],
              QStringLiteral("Store Shop on db?\r\nType: PostgreSQL\r\nConnection String: \r\n"
                             "Driver={PostgreSQL Unicode};Server=db;Pwd=****;"));
    const auto rows = ConnectionStore::list().value();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows.back().name, QStringLiteral("Shop on db"));
    EXPECT_EQ(rows.back().connectionString,
              QStringLiteral("Driver={PostgreSQL Unicode};Server=db;Pwd=Hunter2-x;"));
    EXPECT_EQ(rows.back().type, int(ConnectionType::PostgreSql));
    EXPECT_EQ(m.list()->count(), 3);
    EXPECT_EQ(m.list()->currentItem()->text(), QStringLiteral("Shop on db")); // the new one is selected
    EXPECT_EQ(m.typeBox()->currentText(), QStringLiteral("PostgreSQL"));

    // another DBMS is stored as ANSI SQL; No stores nothing but connects
    // with what the user built
    EXPECT_EQ(m.result(), 0);
    dialogs.connections = {
        NewConnection{QStringLiteral("DSN=odd;Pwd=x1;"), QString(), QStringLiteral("OddDB")}};
    dialogs.inputs = {QStringLiteral("odd")};
    dialogs.answers = {Dialogs::Answer::No};
    m.connectWizardAddon(ConnectionKind::OdbcDataSource);
    EXPECT_TRUE(dialogs.questions.last().contains(QStringLiteral("Type: ANSI SQL")));
    EXPECT_EQ(ConnectionStore::list().value().size(), 3u);
    EXPECT_EQ(m.result(), int(QDialog::Accepted));
    EXPECT_EQ(m.chosenConnectionString(), QStringLiteral("DSN=odd;Pwd=x1;"));
    EXPECT_EQ(m.chosenName(), QStringLiteral("odd"));
    EXPECT_EQ(ConnectionStore::typeForServer(db::familyOfDbms(QStringLiteral("MariaDB"))),
              ConnectionType::MySql);
    EXPECT_EQ(ConnectionStore::typeForServer(db::familyOfDbms(QStringLiteral("Microsoft SQL Server"))),
              ConnectionType::TSql);
    EXPECT_EQ(ConnectionStore::typeForServer(db::familyOfDbms(QStringLiteral("SQLite"))),
              ConnectionType::Sqlite);
}

TEST_F(ConnectionManagerTest, WidthToggle) {
    ConnectionManager m;
    m.show();
    const int narrow = m.width();
    EXPECT_EQ(m.widthButton()->text(), QStringLiteral(">>"));
    m.toggleWidth();
    EXPECT_EQ(m.widthButton()->text(), QStringLiteral("<<"));
    EXPECT_GT(m.width(), narrow);
    m.toggleWidth();
    EXPECT_EQ(m.widthButton()->text(), QStringLiteral(">>"));
}

TEST_F(ConnectionManagerTest, TheDocumentsConnectWizardKeepsItsConnectionOnCancel) {
    QueryDocument doc;
    doc.setConnection(QStringLiteral("Provider=SQLite;Data Source=/tmp/a.db"), QStringLiteral("A"));
    emit doc.parts().toolbar->menuItemChosen(QStringLiteral("New"), QStringLiteral("SQLITE"));
    EXPECT_EQ(doc.context().connectionString(), QStringLiteral("Provider=SQLite;Data Source=/tmp/a.db"));
    dialogs.connections = {NewConnection{QStringLiteral("Provider=SQLite;Data Source=/tmp/b.db"), {}, {}}};
    emit doc.parts().toolbar->menuItemChosen(QStringLiteral("New"), QStringLiteral("ODBC"));
    EXPECT_EQ(doc.context().connectionString(), QStringLiteral("Provider=SQLite;Data Source=/tmp/b.db"));
    doc.setConnection(QStringLiteral("Driver={X};Pwd=TopSecret99;"));
    EXPECT_FALSE(doc.windowTitle().contains(QStringLiteral("TopSecret99")));
    doc.setChanged(false);
}

TEST_F(ConnectionManagerTest, DialogBuildsStringsAndTestsThemOffTheUiThread) {
    ConnectionDialog d(nullptr, ConnectionKind::SqliteFile);
    d.setField(QStringLiteral("file"), store::demoDatabaseFile());
    EXPECT_EQ(d.connectionString(),
              QStringLiteral("Provider=SQLite;Data Source=") + store::demoDatabaseFile() + ";");
    QSignalSpy done(&d, &ConnectionDialog::testFinished);
    d.testConnection();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_TRUE(done[0][0].toBool());
    EXPECT_TRUE(d.testStatus().startsWith(QStringLiteral("Connected: SQLite")));

    d.setKind(ConnectionKind::OdbcDriver);
    for (const auto& [field, value] :
         {std::pair{"driver", "PostgreSQL Unicode"}, std::pair{"server", "127.0.0.1"}, std::pair{"port", "1"},
          std::pair{"user", "me"}, std::pair{"password", "pa;ss-Word1"},
          std::pair{"advanced", "sslmode=disable"}})
        d.setField(QString::fromLatin1(field), QString::fromLatin1(value));
    EXPECT_EQ(d.connectionString(), QStringLiteral("Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=1;Uid=me;"
                                                   "Pwd={pa;ss-Word1};sslmode=disable;"));
    d.testConnection();
    ASSERT_TRUE(done.wait(20000));
    EXPECT_FALSE(done[1][0].toBool());
    EXPECT_FALSE(d.testStatus().contains(QStringLiteral("pa;ss-Word1")));
}

TEST_F(ConnectionManagerTest, DialogTestsARealServer) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    ConnectionDialog d(nullptr, ConnectionKind::OdbcDriver);
    const db::ConnectionString parsed(cs);
    d.setField(QStringLiteral("driver"), QStringLiteral("PostgreSQL Unicode"));
    for (const char* key : {"Server", "Port", "Database"})
        d.setField(QString::fromLatin1(key).toLower(), parsed.value(QLatin1String(key)).value_or(QString()));
    d.setField(QStringLiteral("user"), parsed.value(QStringLiteral("Uid")).value_or(QString()));
    d.setField(QStringLiteral("password"), parsed.value(QStringLiteral("Pwd")).value_or(QString()));
    QSignalSpy done(&d, &ConnectionDialog::testFinished);
    d.testConnection();
    ASSERT_TRUE(done.wait(20000));
    EXPECT_TRUE(done[0][0].toBool()) << d.testStatus().toStdString();
    EXPECT_TRUE(d.testStatus().contains(QStringLiteral("PostgreSQL")));
}

TEST_F(KeyringManagerTest, TheLabelSaysWhichStoreKeepsThePasswords) {
    {
        ConnectionManager m;
        EXPECT_EQ(m.passwordStoreLabel()->text(),
                  QStringLiteral("Passwords are kept in the desktop keyring."));
    }
    keyring->available = false;
    ConnectionManager m;
    EXPECT_EQ(m.passwordStoreLabel()->text(),
              QStringLiteral("Passwords are kept in vsql.db (no desktop keyring)."));
    EXPECT_EQ(m.passwordStoreLabel()->toolTip(), keyring->reason); // the why, on demand
}

TEST_F(KeyringManagerTest, ASavedPasswordIsNotInVsqlDbAndReachesTheDocumentOnlyOnConnect) {
    ConnectionManager m;
    create(m, kString);
    ASSERT_EQ(keyring->entries.size(), 1u);
    for (const QString& raw : rawStrings())
        EXPECT_FALSE(raw.contains(QStringLiteral("Hunter2"))) << raw.toStdString();
    // the form holds the reference, shown masked
    EXPECT_TRUE(m.connectionText().contains(QStringLiteral("Pwd={keyring:")));
    EXPECT_EQ(m.connectionField()->text(),
              QStringLiteral("Driver={PostgreSQL Unicode};Server=db;Uid=me;Pwd=****;"));
    m.showPasswordBox()->setChecked(true);
    EXPECT_FALSE(
        m.connectionField()->text().contains(QStringLiteral("Hunter2"))); // never shown, even on request
    EXPECT_TRUE(dialogs.messages.isEmpty());
    m.useSelected();
    EXPECT_EQ(m.result(), int(QDialog::Accepted));
    EXPECT_EQ(m.chosenConnectionString(), kString);
}

TEST_F(KeyringManagerTest, SavingAnOldRowMovesItsPasswordAndDeletingRemovesTheEntry) {
    keyring->available = false; // saved while no keyring ran
    ASSERT_TRUE(ConnectionStore::insertConnection(QStringLiteral("Old"), kString, 4).ok());
    keyring->available = true;
    ConnectionManager m;
    m.list()->setCurrentRow(m.list()->count() - 1);
    EXPECT_EQ(m.connectionText(), kString); // read as it always was
    m.saveSelected();
    EXPECT_EQ(keyring->entries.size(), 1u);
    EXPECT_FALSE(rawStrings().join(QLatin1Char('\n')).contains(QStringLiteral("Hunter2")));
    EXPECT_TRUE(
        m.connectionText().contains(QStringLiteral("{keyring:"))); // the fields show the row as stored
    EXPECT_EQ(m.nameField()->text(), QStringLiteral("Old"));
    dialogs.answers = {Dialogs::Answer::Yes};
    m.deleteSelected();
    EXPECT_TRUE(keyring->entries.empty());
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(KeyringManagerTest, AnUnreadablePasswordKeepsTheManagerOpenWithTheReason) {
    ConnectionManager m;
    create(m, kString);
    keyring->entries.clear();
    m.useSelected();
    EXPECT_EQ(m.result(), 0);
    EXPECT_TRUE(m.chosenConnectionString().isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(
        QStringLiteral("Error: The connection's password is kept in the desktop keyring")))
        << dialogs.messages[0].toStdString();
}

TEST_F(KeyringManagerTest, AKeyringThatRefusesThePasswordLeavesItInVsqlDbAndSaysSo) {
    keyring->refuseWrites = true;
    ConnectionManager m;
    create(m, kString);
    EXPECT_TRUE(rawStrings().contains(kString));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("kept in vsql.db")));
    EXPECT_FALSE(dialogs.messages[0].contains(QStringLiteral("Hunter2")));
    m.useSelected();
    EXPECT_EQ(m.chosenConnectionString(), kString);
}
