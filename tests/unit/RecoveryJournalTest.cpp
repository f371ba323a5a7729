// The unsaved-work journal tells a live owner by the lock it holds, not by
// its process id: in a container the editor often restarts with the PID the
// crashed one had.
#include "store/RecoveryJournal.h"
#include "support/Files.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

TEST(RecoveryJournal, AnEntryWhoseOwnerIsGoneIsOfferedEvenWhenItsPidIsAlive) {
    TempHome home;
    ASSERT_TRUE(RecoveryJournal::write(RecoveryJournal::newId(), QString(), QStringLiteral("mine"), QStringLiteral("live text")).ok());
    // an entry of a crashed session that had this very PID
    QDir().mkpath(RecoveryJournal::folder());
    writeFile(RecoveryJournal::folder() + QStringLiteral("/crashed.json"),
              QStringLiteral("{\"pid\":%1,\"instance\":\"gone-instance\",\"file\":\"\",\"title\":\"Query1\",\"text\":\"lost?\"}")
                  .arg(QCoreApplication::applicationPid())
                  .toUtf8());
    const auto found = RecoveryJournal::orphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, QStringLiteral("lost?"));
    // an entry of an older version, without an instance, still goes by its PID
    writeFile(RecoveryJournal::folder() + QStringLiteral("/old.json"),
              QStringLiteral("{\"pid\":%1,\"file\":\"\",\"title\":\"Old\",\"text\":\"x\"}")
                  .arg(QCoreApplication::applicationPid())
                  .toUtf8());
    EXPECT_EQ(RecoveryJournal::orphans().size(), 1u);
}
