// The connection manager with saved passwords in the desktop keyring (an
// in-memory stand-in): the label naming the store, what vsql.db holds after
// a save, and the password handed to the document only on Connect.
#include "connections/ConnectionManager.h"
#include "store/ConnectionStore.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "support/MemorySecretStore.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

namespace {
class KeyringManagerTest : public ::testing::Test {
protected:
    void SetUp() override { store::ensureSeeded(); }

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

    TempHome home;
    ScriptedDialogs dialogs;
    ScopedSecretStore<MemorySecretStore> keyring{true};
};
const QString kString = QStringLiteral("Driver={PostgreSQL Unicode};Server=db;Uid=me;Pwd=Hunter2-x;");
} // namespace

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
