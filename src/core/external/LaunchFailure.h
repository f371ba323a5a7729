#pragma once
// Why a file, web address or program could not be opened, as an error
// number and a text for the user. The codes are those of the desktop's
// launch service (2 file not found, 3 path not found, 31 no application
// for the file type, ...); each maps to a number and a description by one
// table, whatever started the launch (a process start or the desktop's
// document opener), so every launcher reports the same words.

#include <QProcess>
#include <QString>

namespace external {

// Launch failure codes.
enum Code : int {
    kOtherFailure = 1, // any failure without a code of its own
    kOutOfMemory = 8,
    kFileNotFound = 2,
    kPathNotFound = 3,
    kAccessDenied = 5,
    kBadFormat = 11,
    kSharingViolation = 26,
    kIncompleteAssociation = 27,
    kTimedOut = 28,
    kTransactionFailed = 29,
    kApplicationBusy = 30,
    kNoAssociation = 31,
    kLibraryNotFound = 32,
};

// The number of a failure without an own number is this base plus its code.
inline constexpr int kErrorBase = -2147221504 + 1048;

struct LaunchError {
    int code = 0;   // 0: no failure
    int number = 0; // the error number recorded for the caller
    QString source; // "<program>.GShell"
    QString description;
};

// The error of a failure code (0 to 32); code 0 counts as out of memory, as
// the launch service reports it. A value above 32 is no failure.
LaunchError errorFor(int code);

// One line for the user: why, then what could not be opened ("No
// application is associated with this file type: /x/a.pdf"). A closing
// period of the description gives way to the colon.
QString failureLine(const LaunchError& error, const QString& target);

// What stands in the way of starting program in folder, judged before the
// attempt: 0 when nothing does. A name without '/' is looked up on PATH;
// a relative path is taken from folder.
int programProblem(const QString& program, const QString& folder);
// What stands in the way of opening a local file: 0 when nothing does.
int documentProblem(const QString& path);
// The code of a process that did not start (error of QProcess).
int processFailure(QProcess::ProcessError error, const QString& program, const QString& folder);

} // namespace external
