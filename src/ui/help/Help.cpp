#include "help/Help.h"

#include "common/Dialogs.h"
#include "help/HelpWindow.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>

namespace help {

namespace {

constexpr const char* kRoot = ":/help/";

QPointer<HelpWindow>& theWindow() {
    static QPointer<HelpWindow> window;
    return window;
}

// A page name of the help folder: no folders, no way out of it.
bool isPageName(const QString& page) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_.-]+\\.html?$"));
    return name.match(page).hasMatch() && !page.startsWith(QLatin1Char('.'));
}

} // namespace

QString missingTopicMessage() {
    return QStringLiteral("Unable to launch HTML Help,\r\nor the topic you requested does not exist");
}

QUrl topicUrl(const QString& topic) {
    QString page = topic.trimmed();
    QString anchor;
    if (const qsizetype hash = page.indexOf(QLatin1Char('#')); hash >= 0) {
        anchor = page.mid(hash + 1);
        page.truncate(hash);
    }
    if (page.isEmpty()) page = QLatin1String(kContentsPage);
    if (!isPageName(page) || !QFile::exists(QLatin1String(kRoot) + page)) return QUrl();
    QUrl url(QStringLiteral("qrc:/help/") + page);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    return url;
}

QStringList pages() {
    QStringList list;
    QFile contents(QLatin1String(kRoot) + QLatin1String(kContentsPage));
    if (!contents.open(QIODevice::ReadOnly)) return list;
    const QString html = QString::fromUtf8(contents.readAll());
    static const QRegularExpression link(QStringLiteral("href=\"([A-Za-z0-9_.-]+\\.htm)"));
    list << QLatin1String(kContentsPage);
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QString page = it.next().captured(1);
        if (!list.contains(page) && QFile::exists(QLatin1String(kRoot) + page)) list << page;
    }
    return list;
}

HelpWindow* currentWindow() {
    return theWindow();
}

void showHelp(QWidget* owner, const QString& topic) {
    const QUrl url = topicUrl(topic);
    if (url.isEmpty()) {
        Dialogs::get().message(owner, missingTopicMessage(), QStringLiteral("SQL Query Editor"));
        return;
    }
    // Over a modal dialog the help must belong to it, or the dialog would
    // keep it from taking input.
    QWidget* host = QApplication::activeModalWidget();
    if (!host && owner) host = owner->window();
    QPointer<HelpWindow>& window = theWindow();
    if (!window)
        window = new HelpWindow(host);
    else
        window->moveTo(host);
    window->showPage(url);
}

} // namespace help
