// Writing a file atomically: the old file stays whole on any failure, no
// temporaries are left, permissions and symbolic links are kept.
#include "settings/AtomicFile.h"

#include "support/FileMode.h"
#include "support/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(AtomicFile, ReplacesContentKeepsPermissionsAndLeavesNoTemporaries) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.txt"));
    ASSERT_TRUE(settings::writeFileAtomically(path, "one").ok());
    EXPECT_EQ(fileMode(path), 0600u);
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOther);
    ASSERT_TRUE(settings::writeFileAtomically(path, "two").ok());
    EXPECT_EQ(readFile(path), QByteArray("two"));
    EXPECT_EQ(fileMode(path), 0604u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(AtomicFile, FailureLeavesTheOldFileAndSaysWhy) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions; the missing-folder case below still runs";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.txt"));
    ASSERT_TRUE(settings::writeFileAtomically(path, "old").ok());
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const auto r = settings::writeFileAtomically(path, "new");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.error().isEmpty());
    EXPECT_EQ(readFile(path), QByteArray("old"));
}

TEST(AtomicFile, ImpossibleTargetsAreReportedWithoutLeftovers) {
    const auto r = settings::writeFileAtomically(QStringLiteral("/nonexistent-dir-xyz/f.txt"), "x");
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error().contains(QStringLiteral("does not exist")));

    // A folder in the way of the rename fails even for root.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("target")));
    const auto blocked = settings::writeFileAtomically(dir.filePath(QStringLiteral("target")), "x");
    EXPECT_FALSE(blocked.ok());
    EXPECT_FALSE(blocked.error().isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

// Saving through a symbolic link replaces the file it points to and keeps
// the link (relative links and chains of links too).
TEST(AtomicFile, WritesThroughSymbolicLinksAndKeepsThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString target = dir.filePath(QStringLiteral("real/script.sql"));
    ASSERT_TRUE(settings::writeFileAtomically(target, "old").ok());
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ReadOther);
    const QString link = dir.filePath(QStringLiteral("link.sql"));
    const QString chain = dir.filePath(QStringLiteral("chain.sql"));
    ASSERT_EQ(::symlink("real/script.sql", QFile::encodeName(link).constData()), 0); // relative
    ASSERT_EQ(::symlink(QFile::encodeName(link).constData(), QFile::encodeName(chain).constData()), 0);

    ASSERT_TRUE(settings::writeFileAtomically(chain, "new").ok());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(chain).isSymLink());
    EXPECT_EQ(readFile(target), QByteArray("new"));
    EXPECT_TRUE(QFile::permissions(target) & QFileDevice::ReadOther); // the real file's permissions stay
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2); // the two links, no leftovers
}

TEST(AtomicFile, AReadOnlyFileIsRefused) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write read-only files";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ro.txt"));
    ASSERT_TRUE(settings::writeFileAtomically(path, "kept").ok());
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    const Status s = settings::writeFileAtomically(path, "lost");
    EXPECT_FALSE(s.ok());
    EXPECT_TRUE(s.error().contains(QStringLiteral("read-only")));
}
