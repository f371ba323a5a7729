#include "shell/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace shell {

bool shellExecuteFile(QWidget*, const QString& target) {
    if (target.trimmed().isEmpty()) return false;
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath())
                                               : QUrl::fromUserInput(target);
    return QDesktopServices::openUrl(url);
}

} // namespace shell
