// The settings file: reading and writing keys the way callers rely on.
#include "settings/Ini.h"
#include "support/FileMode.h"
#include "support/Files.h"
#include "support/TempHome.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

TEST(Ini, MissingFileSectionKeyAndEmptyValueAllReadAsEmpty) {
    TempHome home;
    QString v;
    EXPECT_FALSE(ini::readKey(QStringLiteral("OPTIONS"), QStringLiteral("font"), v));
    EXPECT_EQ(v, QString());
    writeFile(ini::fileName(), "[OPTIONS]\nfont=\nsize=  \n[Other]\nx=1\n");
    v = QStringLiteral("unchanged");
    EXPECT_FALSE(ini::readKey(QStringLiteral("OPTIONS"), QStringLiteral("font"), v));
    EXPECT_EQ(v, QStringLiteral("unchanged")); // a failed read leaves the value alone
    EXPECT_EQ(ini::value(QStringLiteral("OPTIONS"), QStringLiteral("size")), QString());
    EXPECT_EQ(ini::value(QStringLiteral("OPTIONS"), QStringLiteral("x")), QString()); // other section
    EXPECT_EQ(ini::value(QStringLiteral("nosuch"), QStringLiteral("x")), QString());
}

TEST(Ini, NamesMatchWithoutCaseAndValuesAreTrimmed) {
    TempHome home;
    writeFile(ini::fileName(), "; comment\r\n[Options]\r\ncodesense=1\r\n rowcountvalue =  500  \r\n"
                              "url=a=b\r\n");
    EXPECT_EQ(ini::value(QStringLiteral("options"), QStringLiteral("CODESENSE")), QStringLiteral("1"));
    EXPECT_EQ(ini::value(QStringLiteral("OPTIONS"), QStringLiteral("rowcountvalue")), QStringLiteral("500"));
    EXPECT_EQ(ini::value(QStringLiteral("OPTIONS"), QStringLiteral("url")), QStringLiteral("a=b"));
}

TEST(Ini, FlagIsOnOnlyForOne) {
    TempHome home;
    writeFile(ini::fileName(), "[OPTIONS]\na=1\nb=2\nc=0\nd=yes\n");
    EXPECT_TRUE(ini::flag(QStringLiteral("OPTIONS"), QStringLiteral("a")));
    for (const char* k : {"b", "c", "d", "missing"}) EXPECT_FALSE(ini::flag(QStringLiteral("OPTIONS"), QLatin1String(k)));
}

TEST(Ini, WriteReplacesInPlaceAndKeepsEverythingElse) {
    TempHome home;
    const QByteArray original = "; my notes\n[OPTIONS]\nfont=Courier\n# hand-written\ncustom=keep me\n\n[ISQL]\nserver=db1\n";
    writeFile(ini::fileName(), original);
    ASSERT_TRUE(ini::writeKey(QStringLiteral("options"), QStringLiteral("FONT"), QStringLiteral("Mono")));
    ASSERT_TRUE(ini::writeKey(QStringLiteral("OPTIONS"), QStringLiteral("fontsize"), QStringLiteral("11")));
    ASSERT_TRUE(ini::writeKey(QStringLiteral("Other"), QStringLiteral("execute"), QStringLiteral("/usr/bin/tool")));
    EXPECT_EQ(readFile(ini::fileName()), QByteArray("; my notes\n[OPTIONS]\nFONT=Mono\n# hand-written\ncustom=keep me\n"
                                                   "fontsize=11\n\n[ISQL]\nserver=db1\n\n[Other]\nexecute=/usr/bin/tool\n"));
    // writing the same values again changes nothing
    const QByteArray once = readFile(ini::fileName());
    ASSERT_TRUE(ini::writeKey(QStringLiteral("OPTIONS"), QStringLiteral("FONT"), QStringLiteral("Mono")));
    EXPECT_EQ(readFile(ini::fileName()), once);
}

TEST(Ini, CreatesTheFilePrivatelyAndKeepsCrLf) {
    TempHome home;
    ASSERT_TRUE(ini::writeKey(QStringLiteral("ISQLW"), QStringLiteral("password"), QStringLiteral("pw")));
    EXPECT_EQ(readFile(ini::fileName()), QByteArray("[ISQLW]\npassword=pw\n"));
    EXPECT_EQ(fileMode(ini::fileName()), 0600u);

    writeFile(ini::fileName(), "[A]\r\nx=1\r\n");
    ASSERT_TRUE(ini::writeKey(QStringLiteral("A"), QStringLiteral("y"), QStringLiteral("2")));
    EXPECT_EQ(readFile(ini::fileName()), QByteArray("[A]\r\nx=1\r\ny=2\r\n"));
}

TEST(Ini, RefusesMultiLineValuesAndReportsWhy) {
    TempHome home;
    EXPECT_FALSE(ini::writeKey(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("a\nb")));
    EXPECT_FALSE(ini::lastErrorText().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(ini::fileName()));
}

TEST(Ini, NoHomeMeansNoFilename) {
    TempHome home;
    QString v;
    EXPECT_FALSE(ini::readKeyFrom(QString(), QStringLiteral("A"), QStringLiteral("x"), v));
    EXPECT_EQ(ini::lastErrorText(), QStringLiteral("No filename specified"));
}
