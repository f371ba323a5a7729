#include "external/LaunchFailure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace external {

namespace {

QString sourceName() {
    const QString app = QCoreApplication::applicationName();
    return (app.isEmpty() ? QStringLiteral("sqlqe") : app) + QStringLiteral(".GShell");
}

// A path as the program would be found from folder.
QString resolved(const QString& path, const QString& folder) {
    if (QDir::isAbsolutePath(path) || folder.isEmpty()) return path;
    return QDir(folder).absoluteFilePath(path);
}

// 3 when the file's folder is missing, 2 when only the file is.
int missingFileCode(const QFileInfo& file) {
    return QFileInfo(file.absolutePath()).isDir() ? kFileNotFound : kPathNotFound;
}

} // namespace

LaunchError errorFor(int code) {
    LaunchError e;
    e.code = code;
    e.source = sourceName();
    auto set = [&e](int number, const char* text) {
        e.number = number;
        e.description = QString::fromLatin1(text);
    };
    switch (code) {
    case 0:
    case kOutOfMemory:
        set(7, "Out of memory");
        break;
    case kFileNotFound:
        set(53, "File not found");
        break;
    case kPathNotFound:
        set(76, "Path not found");
        break;
    case kAccessDenied:
        set(75, "Path/file access error");
        break;
    case kBadFormat:
        set(kErrorBase + kBadFormat, "The executable file is invalid or corrupt");
        break;
    case kSharingViolation:
        set(75, "A sharing violation occurred.");
        break;
    case kIncompleteAssociation:
        set(kErrorBase + kIncompleteAssociation, "This file type does not have a valid file association.");
        break;
    case kTimedOut:
        set(286, "The file could not be opened due to time out. Please try again in a moment.");
        break;
    case kTransactionFailed:
        set(285,
            "The file could not be opened because the DDE transaction failed. Please try again in a moment.");
        break;
    case kApplicationBusy:
        set(285, "The file could not be opened because the target application is busy. Please try again in a "
                 "moment.");
        break;
    case kNoAssociation:
        set(kErrorBase + kNoAssociation, "No application is associated with this file type.");
        break;
    case kLibraryNotFound:
        set(48, "The specified dynamic-link library was not found.");
        break;
    default:
        if (code < 0 || code > 32) return LaunchError{};
        set(kErrorBase + code,
            "An error occurred occurred whilst trying to open or print the selected file.");
        break;
    }
    return e;
}

QString failureLine(const LaunchError& error, const QString& target) {
    if (target.isEmpty()) return error.description;
    QString why = error.description;
    if (why.endsWith(QLatin1Char('.'))) why.chop(1);
    return why + QStringLiteral(": ") + target;
}

int programProblem(const QString& program, const QString& folder) {
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) return kPathNotFound;
    if (program.trimmed().isEmpty()) return kFileNotFound;
    if (!program.contains(QLatin1Char('/'))) {
        // Looked up on PATH, as the process start does.
        return QStandardPaths::findExecutable(program).isEmpty() ? kFileNotFound : 0;
    }
    const QFileInfo file(resolved(program, folder));
    if (!file.exists()) return missingFileCode(file);
    if (file.isDir() || !file.isExecutable()) return kAccessDenied;
    return 0;
}

int documentProblem(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists()) return missingFileCode(file);
    if (!file.isReadable()) return kAccessDenied;
    return 0;
}

int processFailure(QProcess::ProcessError error, const QString& program, const QString& folder) {
    switch (error) {
    case QProcess::FailedToStart: {
        // Found and executable, yet it did not start: the file is no program.
        const int problem = programProblem(program, folder);
        return problem ? problem : kBadFormat;
    }
    case QProcess::Timedout:
        return kTimedOut;
    case QProcess::Crashed:
    case QProcess::ReadError:
    case QProcess::WriteError:
    case QProcess::UnknownError:
        break;
    }
    return kOtherFailure;
}

} // namespace external
