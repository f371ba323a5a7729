// Saved passwords in a real secret service: gnome-keyring on a private
// session bus, which tools/with-keyring starts around this program (it sets
// SQLQE_TEST_KEYRING=1; run directly, every case skips rather than touch the
// keyring of whoever runs it).
#include "store/ConnectionStore.h"
#include "store/HomeSeeding.h"
#include "store/KeyringSecretStore.h"
#include "store/ResourceDb.h"
#include "store/SavedPasswords_p.h"
#include "support/MemorySecretStore.h"
#include "support/RunnerProcess.h"
#include "support/TempHome.h"
#include "support/TestServers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

#define SQLQE_REQUIRE_TEST_KEYRING()                                                                         \
    do {                                                                                                     \
        if (qgetenv("SQLQE_TEST_KEYRING") != "1")                                                            \
            GTEST_SKIP() << "needs the throwaway keyring of tools/with-keyring (SQLQE_TEST_KEYRING=1)";      \
    } while (0)

const QString kService = QStringLiteral("SQL Query Editor");

// The keyring as the editor reaches it, installed for one test.
class RealKeyring : public ::testing::Test {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_TEST_KEYRING();
        store::ensureSeeded();
    }
    QString rawString(qint64 pk) {
        const db::Table t = ResourceDb::open()->query(
            QStringLiteral("SELECT cn_string FROM connections WHERE primarykey = ?"), {pk});
        return t.rows.at(0).at(0).value_or(QString());
    }

    TempHome home;
    ScopedSecretStore<KeyringSecretStore> keyring{kService};
};

RunnerOutcome runSaved(const QString& home, const QString& name) {
    return runProgram(QStringLiteral(SQLQE_RUN_PATH),
                      {QStringLiteral("--home"), home, QStringLiteral("--connection"), name, "-"},
                      "SELECT 42 AS answer");
}

} // namespace

TEST_F(RealKeyring, QtKeychainStoresReadsBackAndDeletes) {
    ASSERT_TRUE(keyring->isAvailable()) << keyring->unavailableReason().toStdString();
    const QString secret = QStringLiteral("pa;ss}wörd 東京 %'\"");
    ASSERT_TRUE(keyring->write(QStringLiteral("entry-1"), secret).ok());
    EXPECT_EQ(keyring->read(QStringLiteral("entry-1")).valueOr(QString()), secret);
    ASSERT_TRUE(keyring->write(QStringLiteral("entry-1"), QStringLiteral("second")).ok()); // replaces
    EXPECT_EQ(keyring->read(QStringLiteral("entry-1")).valueOr(QString()), QStringLiteral("second"));
    ASSERT_TRUE(keyring->remove(QStringLiteral("entry-1")).ok());
    const auto gone = keyring->read(QStringLiteral("entry-1"));
    ASSERT_FALSE(gone.ok());
    EXPECT_TRUE(gone.error().contains(QStringLiteral("holds no entry"))) << gone.error().toStdString();
    EXPECT_TRUE(keyring->remove(QStringLiteral("entry-1")).ok()); // already gone counts as removed
}

TEST_F(RealKeyring, TheConnectionStoreKeepsPasswordsThereAndCleansUp) {
    EXPECT_TRUE(ConnectionStore::passwordStore().keyring)
        << ConnectionStore::passwordStore().reason.toStdString();
    const QString cs = QStringLiteral("Driver={X};Server=h;Pwd={Real;Secret-1};");
    QString notice;
    const auto pk = ConnectionStore::insertConnection(QStringLiteral("real"), cs, 3, &notice);
    ASSERT_TRUE(pk.ok()) << pk.error().toStdString();
    EXPECT_EQ(notice, QString());
    const QString raw = rawString(*pk);
    EXPECT_FALSE(raw.contains(QStringLiteral("Real;Secret"))) << raw.toStdString();
    const QStringList ids = store::passwordReferenceIds(raw);
    ASSERT_EQ(ids.size(), 1);
    EXPECT_EQ(ConnectionStore::connectionForUse(raw).valueOr(QString()), cs);

    // a new password: a new entry, and the old one is gone from the keyring
    ASSERT_TRUE(ConnectionStore::updateConnection(*pk, QStringLiteral("real"),
                                                  QStringLiteral("Driver={X};Pwd=two;"), 3)
                    .ok());
    EXPECT_FALSE(keyring->read(ids[0]).ok());
    const QString second = rawString(*pk);
    EXPECT_EQ(ConnectionStore::connectionForUse(second).valueOr(QString()),
              QStringLiteral("Driver={X};Pwd=two;"));

    ASSERT_TRUE(ConnectionStore::deleteConnection(*pk).ok());
    EXPECT_FALSE(keyring->read(store::passwordReferenceIds(second).value(0)).ok());
}

TEST_F(RealKeyring, SqlqeRunPutsThePasswordBackForASavedConnection) {
    // On PostgreSQL a wrong password would not connect; without it, a SQLite
    // file shows at least that the reference is resolved and not sent.
    QString cs = serverConnectionString(kPostgres);
    QTemporaryDir dir;
    if (cs.isEmpty())
        cs = newSqliteConnectionString(dir.filePath(QStringLiteral("k.db"))) +
             QStringLiteral(";Pwd=not-used-by-sqlite;");
    ASSERT_TRUE(ConnectionStore::insertConnection(QStringLiteral("saved one"), cs, 4).ok());
    const StoredConnection saved = ConnectionStore::list().value().back();
    ASSERT_FALSE(store::passwordReferenceIds(saved.connectionString).isEmpty())
        << saved.connectionString.toStdString();

    const RunnerOutcome ok = runSaved(home.path(), QStringLiteral("saved one"));
    EXPECT_EQ(ok.code, 0) << ok.err.toStdString();
    EXPECT_TRUE(ok.out.contains("42")) << ok.out.constData();

    // the entry removed behind the editor's back: a clear refusal, no run
    ASSERT_TRUE(keyring->remove(store::passwordReferenceIds(saved.connectionString).value(0)).ok());
    const RunnerOutcome broken = runSaved(home.path(), QStringLiteral("saved one"));
    EXPECT_EQ(broken.code, 2);
    EXPECT_TRUE(broken.err.contains(QStringLiteral("cannot use the saved connection \"saved one\"")))
        << broken.err.toStdString();
    EXPECT_TRUE(broken.err.contains(QStringLiteral("desktop keyring")));
    EXPECT_TRUE(broken.out.isEmpty());
}
