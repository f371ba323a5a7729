// Saved connections: hostile texts round-trip through bound parameters.
#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "store/ConnectionStore.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

TEST(ConnectionStore, HostileNamesAndStringsRoundTripAndTheTableSurvives) {
    TempHome home;
    store::ensureSeeded();
    const QStringList hostile = {
        QStringLiteral("it's \"quoted\""), QStringLiteral("a|b|c|"), QStringLiteral("100% _under_"),
        QStringLiteral("'; DROP TABLE connections; --"), QString(10 * 1024, QLatin1Char('k')),
        QStringLiteral("Grüße 東京 🦀"), QString()};
    std::vector<qint64> keys;
    for (const QString& s : hostile) {
        const auto r = ConnectionStore::insertConnection(s, QStringLiteral("Driver={X};Pwd=") + s + QStringLiteral(";"), 3);
        ASSERT_TRUE(r.ok()) << r.error().toStdString();
        keys.push_back(r.value());
    }
    const auto rows = ConnectionStore::list().value();
    ASSERT_EQ(rows.size(), size_t(hostile.size()) + 1); // plus the demo connection
    for (size_t i = 0; i < size_t(hostile.size()); ++i) {
        const auto& row = rows[i + 1];
        EXPECT_EQ(row.primaryKey, keys[i]);
        EXPECT_EQ(row.name, hostile[int(i)]);
        EXPECT_EQ(row.connectionString, QStringLiteral("Driver={X};Pwd=") + hostile[int(i)] + QStringLiteral(";"));
        EXPECT_EQ(row.type, 3);
    }
    ASSERT_TRUE(ConnectionStore::updateConnection(keys[0], QStringLiteral("renamed | again"), QStringLiteral("x"), 2).ok());
    ASSERT_TRUE(ConnectionStore::deleteConnection(keys[1]).ok());
    const auto after = ConnectionStore::list().value();
    EXPECT_EQ(after.size(), rows.size() - 1);
    EXPECT_EQ(after[1].name, QStringLiteral("renamed | again"));
    EXPECT_EQ(after[1].type, 2);
    EXPECT_FALSE(ConnectionStore::updateConnection(999999, QStringLiteral("n"), QStringLiteral("c"), 1).ok());
    EXPECT_FALSE(ConnectionStore::deleteConnection(999999).ok());
}

TEST(ConnectionStore, NullsReadAsEmptyAndTypeOneAndTypeTextsMap) {
    TempHome home;
    store::ensureSeeded();
    ResourceDb::open()->exec(QStringLiteral("INSERT INTO connections (name, cn_string, type) VALUES (NULL, NULL, NULL)"));
    const auto rows = ConnectionStore::list().value();
    EXPECT_EQ(rows.back().name, QString());
    EXPECT_EQ(rows.back().connectionString, QString());
    EXPECT_EQ(rows.back().type, 1);
    EXPECT_EQ(ConnectionStore::typeText(3), QStringLiteral("ANSI SQL"));
    EXPECT_EQ(ConnectionStore::typeNumber(QStringLiteral("JET SQL")), 2);
    EXPECT_EQ(ConnectionStore::typeNumber(QString()), 1);
}

TEST(ConnectionStore, AMissingResourceDatabaseIsAnErrorNotACrash) {
    TempHome home; // nothing seeded
    const auto listed = ConnectionStore::list();
    EXPECT_FALSE(listed.ok());
    EXPECT_FALSE(listed.error().isEmpty());
    EXPECT_FALSE(ConnectionStore::insertConnection(QStringLiteral("a"), QStringLiteral("b"), 1).ok());
}
