#include "shell/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace shell {

namespace {

external::LaunchError& recorded() {
    static external::LaunchError error;
    return error;
}

bool failed(int code) {
    recorded() = external::errorFor(code);
    return false;
}

// A web address or other URL ("https://…", "mailto:…"), as opposed to a path.
bool isAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && url.scheme().size() > 1 && !url.isLocalFile();
}

} // namespace

external::LaunchError lastError() {
    return recorded();
}

bool shellExecuteFile(QWidget*, const QString& file, const QStringList& parameters, const QString& folder) {
    recorded() = external::LaunchError{};
    const QString target = file.trimmed();
    if (target.isEmpty()) return failed(external::kFileNotFound);

    if (!parameters.isEmpty() || !folder.isEmpty()) {
        if (const int problem = external::programProblem(target, folder)) return failed(problem);
        qint64 pid = 0;
        if (!QProcess::startDetached(target, parameters, folder, &pid))
            return failed(external::processFailure(QProcess::FailedToStart, target, folder));
        return true;
    }

    QUrl url;
    if (isAddress(target)) {
        url = QUrl(target, QUrl::StrictMode);
    } else {
        const QString path = QUrl(target).isLocalFile() ? QUrl(target).toLocalFile() : target;
        if (const int problem = external::documentProblem(path)) return failed(problem);
        url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    }
    // The desktop's handler only says whether it took the request: a refusal
    // means nothing is set up for this kind of file or address.
    if (!QDesktopServices::openUrl(url)) return failed(external::kNoAssociation);
    return true;
}

} // namespace shell
