// The launch failure table and how a program or file that cannot be opened
// is told apart before anything starts.
#include "external/LaunchFailure.h"

#include "support/Files.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(LaunchFailure, EveryCodeHasItsNumberAndText) {
    const int base = -2147220456;
    struct Row {
        int code, number;
        const char* text;
    };
    const Row rows[] = {
        {0, 7, "Out of memory"},
        {8, 7, "Out of memory"},
        {2, 53, "File not found"},
        {3, 76, "Path not found"},
        {5, 75, "Path/file access error"},
        {11, base + 11, "The executable file is invalid or corrupt"},
        {26, 75, "A sharing violation occurred."},
        {27, base + 27, "This file type does not have a valid file association."},
        {28, 286, "The file could not be opened due to time out. Please try again in a moment."},
        {29, 285,
         "The file could not be opened because the DDE transaction failed. Please try again in a moment."},
        {30, 285,
         "The file could not be opened because the target application is busy. Please try again in a "
         "moment."},
        {31, base + 31, "No application is associated with this file type."},
        {32, 48, "The specified dynamic-link library was not found."},
    };
    for (const Row& r : rows) {
        const external::LaunchError e = external::errorFor(r.code);
        EXPECT_EQ(e.number, r.number) << r.code;
        EXPECT_EQ(e.description, QString::fromLatin1(r.text)) << r.code;
        EXPECT_TRUE(e.source.endsWith(QLatin1String(".GShell")));
    }
    for (int code : {1, 4, 6, 7, 9, 10, 12, 20, 25}) {
        const external::LaunchError e = external::errorFor(code);
        EXPECT_EQ(e.number, base + code) << code;
        EXPECT_EQ(
            e.description,
            QStringLiteral("An error occurred occurred whilst trying to open or print the selected file."));
    }
    EXPECT_EQ(external::errorFor(33).code, 0); // above 32 the launch went through
    EXPECT_EQ(external::errorFor(42).number, 0);
}

TEST(LaunchFailure, TheLineForTheUserHasOneColonAndNoDoubledStop) {
    const QString file = QStringLiteral("/tmp/report.xyz");
    EXPECT_EQ(external::failureLine(external::errorFor(external::kNoAssociation), file),
              QStringLiteral("No application is associated with this file type: /tmp/report.xyz"));
    EXPECT_EQ(external::failureLine(external::errorFor(external::kFileNotFound), file),
              QStringLiteral("File not found: /tmp/report.xyz"));
    EXPECT_EQ(external::failureLine(external::errorFor(external::kApplicationBusy), file),
              QStringLiteral("The file could not be opened because the target application is busy. Please try "
                             "again in a moment: /tmp/report.xyz"));
    EXPECT_EQ(external::failureLine(external::errorFor(external::kNoAssociation), QString()),
              QStringLiteral("No application is associated with this file type."));
}

TEST(LaunchFailure, ProgramsAreJudgedBeforeTheStart) {
    TempHome home;
    const QString script = home.file(QStringLiteral("plain.txt"));
    writeFile(script, "not a program");
    EXPECT_EQ(external::programProblem(QStringLiteral("ls"), QString()), 0);
    EXPECT_EQ(external::programProblem(QStringLiteral("no-such-program-here"), QString()),
              external::kFileNotFound);
    EXPECT_EQ(external::programProblem(QStringLiteral(""), QString()), external::kFileNotFound);
    EXPECT_EQ(external::programProblem(home.file(QStringLiteral("gone")), QString()), external::kFileNotFound);
    EXPECT_EQ(external::programProblem(home.file(QStringLiteral("no/dir/tool")), QString()),
              external::kPathNotFound);
    EXPECT_EQ(external::programProblem(script, QString()), external::kAccessDenied);      // not executable
    EXPECT_EQ(external::programProblem(home.path(), QString()), external::kAccessDenied); // a folder
    // a relative path is taken from the working folder, which must exist
    EXPECT_EQ(external::programProblem(QStringLiteral("./plain.txt"), home.path()), external::kAccessDenied);
    EXPECT_EQ(external::programProblem(QStringLiteral("ls"), home.file(QStringLiteral("nowhere"))),
              external::kPathNotFound);
}

TEST(LaunchFailure, DocumentsAndProcessErrors) {
    TempHome home;
    const QString file = home.file(QStringLiteral("a.sql"));
    writeFile(file, "select 1");
    EXPECT_EQ(external::documentProblem(file), 0);
    EXPECT_EQ(external::documentProblem(home.file(QStringLiteral("b.sql"))), external::kFileNotFound);
    EXPECT_EQ(external::documentProblem(home.file(QStringLiteral("x/b.sql"))), external::kPathNotFound);
    EXPECT_EQ(
        external::processFailure(QProcess::FailedToStart, QStringLiteral("no-such-program-here"), QString()),
        external::kFileNotFound);
    EXPECT_EQ(external::processFailure(QProcess::FailedToStart, QStringLiteral("ls"), QString()),
              external::kBadFormat);
    EXPECT_EQ(external::processFailure(QProcess::Timedout, QStringLiteral("ls"), QString()), external::kTimedOut);
}
