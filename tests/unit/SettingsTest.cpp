// The settings file: the INI format as callers rely on it, and the typed
// settings on top of it.
#include "settings/AppPaths.h"
#include "settings/Ini_p.h"
#include "settings/Settings.h"
#include "support/FileMode.h"
#include "support/Files.h"
#include "support/TempHome.h"

#include <QFileInfo>
#include <QSet>

#include <unistd.h>

#include <gtest/gtest.h>

using settings::Key;

namespace {
QString config() { return AppPaths::configFile(); }
std::optional<QString> read(const char* section, const char* key) {
    return settings::readKey(config(), QLatin1String(section), QLatin1String(key));
}

// Each case in a throwaway home, where config.ini starts missing.
class Ini : public ::testing::Test {
protected:
    TempHome home;
};
using Settings = Ini;
} // namespace

TEST_F(Ini, MissingFileSectionKeyAndEmptyValueAllReadAsMissing) {
    EXPECT_FALSE(read("OPTIONS", "font"));
    writeFile(config(), "[OPTIONS]\nfont=\nsize=  \n[Other]\nx=1\n");
    EXPECT_FALSE(read("OPTIONS", "font"));
    EXPECT_FALSE(read("OPTIONS", "size"));
    EXPECT_FALSE(read("OPTIONS", "x")); // other section
    EXPECT_FALSE(read("nosuch", "x"));
    EXPECT_EQ(read("Other", "x"), QStringLiteral("1"));
}

TEST_F(Ini, NamesMatchWithoutCaseAndValuesAreTrimmed) {
    writeFile(config(), "; comment\r\n[Options]\r\ncodesense=1\r\n rowcountvalue =  500  \r\nurl=a=b\r\n");
    EXPECT_EQ(read("options", "CODESENSE"), QStringLiteral("1"));
    EXPECT_EQ(read("OPTIONS", "rowcountvalue"), QStringLiteral("500"));
    EXPECT_EQ(read("OPTIONS", "url"), QStringLiteral("a=b"));
}

TEST_F(Ini, WriteReplacesInPlaceAndKeepsEverythingElse) {
    writeFile(config(), "; my notes\n[OPTIONS]\nfont=Courier\n# hand-written\ncustom=keep me\n\n[ISQL]\nserver=db1\n");
    ASSERT_TRUE(settings::writeKey(config(), QStringLiteral("options"), QStringLiteral("FONT"), QStringLiteral("Mono")));
    ASSERT_TRUE(settings::writeKeys(config(), {{QStringLiteral("OPTIONS"), QStringLiteral("fontsize"), QStringLiteral("11")},
                                          {QStringLiteral("Other"), QStringLiteral("execute"), QStringLiteral("/usr/bin/tool")}}));
    EXPECT_EQ(readFile(config()), QByteArray("; my notes\n[OPTIONS]\nFONT=Mono\n# hand-written\ncustom=keep me\n"
                                             "fontsize=11\n\n[ISQL]\nserver=db1\n\n[Other]\nexecute=/usr/bin/tool\n"));
    const QByteArray once = readFile(config());
    ASSERT_TRUE(settings::writeKey(config(), QStringLiteral("OPTIONS"), QStringLiteral("FONT"), QStringLiteral("Mono")));
    EXPECT_EQ(readFile(config()), once); // writing the same value again changes nothing
}

TEST_F(Ini, CreatesTheFilePrivatelyAndKeepsCrLf) {
    ASSERT_TRUE(settings::writeKey(config(), QStringLiteral("ISQLW"), QStringLiteral("password"), QStringLiteral("pw")));
    EXPECT_EQ(readFile(config()), QByteArray("[ISQLW]\npassword=pw\n"));
    EXPECT_EQ(fileMode(config()), 0600u);
    writeFile(config(), "[A]\r\nx=1\r\n");
    ASSERT_TRUE(settings::writeKey(config(), QStringLiteral("A"), QStringLiteral("y"), QStringLiteral("2")));
    EXPECT_EQ(readFile(config()), QByteArray("[A]\r\nx=1\r\ny=2\r\n"));
}

TEST_F(Ini, AReadOnlyFileIsRefusedNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    writeFile(config(), "[OPTIONS]\nfont=Courier\n");
    QFile::setPermissions(config(), QFileDevice::ReadOwner);
    const Status s = settings::writeKey(config(), QStringLiteral("OPTIONS"), QStringLiteral("font"), QStringLiteral("Mono"));
    QFile::setPermissions(config(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_FALSE(s);
    EXPECT_TRUE(s.error().contains(QStringLiteral("read-only"))) << s.error().toStdString();
    EXPECT_EQ(readFile(config()), QByteArray("[OPTIONS]\nfont=Courier\n"));
}

TEST_F(Ini, RefusesMultiLineValuesAndAMissingFileNameWithAReason) {
    const Status multi = settings::writeKey(config(), QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("a\nb"));
    EXPECT_FALSE(multi);
    EXPECT_TRUE(multi.error().contains(QStringLiteral("single line")));
    EXPECT_FALSE(QFileInfo::exists(config()));
    const Status noName = settings::writeKey(QString(), QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1"));
    EXPECT_EQ(noName.error(), QStringLiteral("No filename specified"));
}

TEST_F(Settings, TheKeyTableMatchesItsEnumAndEveryKeyIsUniqueInItsSection) {
    QSet<QString> seen;
    for (int i = 0; i < settings::kKeyCount; ++i) {
        const auto& k = settings::spec(Key(i));
        EXPECT_EQ(int(k.key), i) << k.name;
        const QString id = settings::sectionName(k.section) + QLatin1Char('/') + QLatin1String(k.name);
        EXPECT_FALSE(seen.contains(id)) << qPrintable(id);
        seen.insert(id);
    }
    EXPECT_EQ(int(settings::allKeys().size()), settings::kKeyCount);
}

TEST_F(Settings, WithoutAFileEverythingIsOffOrEmpty) {
    const auto s = settings::current();
    EXPECT_FALSE(s.flag(Key::SyntaxHighlight));
    EXPECT_FALSE(s.flag(Key::AutoCorrectSyntax));
    EXPECT_FALSE(s.resultsInText());
    EXPECT_FALSE(s.externalExecution());
    EXPECT_EQ(s.text(Key::Font), QString());
    EXPECT_FALSE(s.rowLimit());
    EXPECT_EQ(s.loginTimeoutSeconds(), 15);
}

TEST_F(Settings, ANewFileHoldsEveryKeyWithItsFirstStartValue) {
    writeFile(config(), settings::firstStartFile());
    const auto s = settings::current();
    for (const auto& k : settings::allKeys()) EXPECT_EQ(s.text(k.key), QLatin1String(k.firstStart)) << k.name;
    EXPECT_TRUE(s.flag(Key::SyntaxHighlight));
}

TEST_F(Settings, TypedReadsFollowTheTextAndSeeHandEdits) {
    writeFile(config(), "[OPTIONS]\nrowcount=1\nrowcountvalue=  500 \nlogintimeout=abc\nsyntaxhighlight=2\nresultsin=1\n"
                        "executionplan=1\n");
    auto s = settings::current();
    EXPECT_EQ(s.rowLimit(), 500);
    EXPECT_EQ(s.loginTimeoutSeconds(), 15); // not a number
    EXPECT_FALSE(s.flag(Key::SyntaxHighlight)); // only "1" is on
    EXPECT_TRUE(s.resultsInText());
    EXPECT_TRUE(s.externalExecution());

    // an edit by hand (another process) is seen at the next read
    writeFile(config(), "[OPTIONS]\nrowcount=1\nrowcountvalue=x\nlogintimeout=7\n");
    s = settings::current();
    EXPECT_FALSE(s.rowLimit()); // a limit that is not a number is ignored
    EXPECT_EQ(s.loginTimeoutSeconds(), 7);
}

TEST_F(Settings, AQuestionThatGuardsDataStaysOnUntilTurnedOffExplicitly) {
    EXPECT_TRUE(settings::current().flag(Key::ConfirmUnfiltered)); // no file
    writeFile(config(), "[OPTIONS]\nconfirmunfiltered=\n");
    EXPECT_TRUE(settings::current().flag(Key::ConfirmUnfiltered));
    writeFile(config(), "[OPTIONS]\nconfirmunfiltered=yes\n");
    EXPECT_TRUE(settings::current().flag(Key::ConfirmUnfiltered));
    writeFile(config(), "[OPTIONS]\nconfirmunfiltered=0\nsyntaxhighlight=yes\n");
    EXPECT_FALSE(settings::current().flag(Key::ConfirmUnfiltered));
    EXPECT_FALSE(settings::current().flag(Key::SyntaxHighlight)); // ordinary flags: only "1" is on
}

TEST_F(Settings, WritesKeepUnknownKeysAndAreReadBackAtOnce) {
    writeFile(config(), "[OPTIONS]\nmykey=mine\nfont=Courier\n");
    ASSERT_TRUE(settings::write({{Key::Font, QStringLiteral("Mono")}, {Key::OtherExecute, QStringLiteral("/bin/tool")}}));
    EXPECT_EQ(settings::current().text(Key::Font), QStringLiteral("Mono"));
    EXPECT_EQ(settings::current().text(Key::OtherExecute), QStringLiteral("/bin/tool"));
    EXPECT_TRUE(readFile(config()).contains("mykey=mine"));
    EXPECT_FALSE(settings::write(Key::Font, QStringLiteral("two\nlines")));
    EXPECT_EQ(settings::current().text(Key::Font), QStringLiteral("Mono"));
}
