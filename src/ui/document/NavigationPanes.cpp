#include "document/NavigationPanes.h"

#include "common/Theme.h"

#include <QTextBrowser>
#include <QUrl>

NavigationPanes::NavigationPanes(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("navigationTabs"));
    setDocumentMode(true);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(true);
    Theme::usePageColours(browser_);
    addTab(new QWidget(this), QStringLiteral("Objects"));
    addTab(new QWidget(this), QStringLiteral("Templates"));
    addTab(browser_, QStringLiteral("Help"));
    addTab(new QWidget(this), QStringLiteral("History"));
    showStartPage();
}

void NavigationPanes::setPane(Tab tab, QWidget* pane) {
    const QString caption = tabText(tab);
    const int current = currentIndex();
    QWidget* old = widget(tab);
    removeTab(tab);
    insertTab(tab, pane, caption);
    delete old;
    setCurrentIndex(current);
}

QUrl NavigationPanes::startPage() { return QUrl(QStringLiteral("qrc:/help/vstart.htm")); }

void NavigationPanes::showStartPage() {
    if (browser_->source() != startPage()) browser_->setSource(startPage());
}

void NavigationPanes::showTab(Tab tab) {
    setCurrentIndex(tab);
    if (tab != HelpTab) widget(tab)->setFocus();
}

void NavigationPanes::resizeEvent(QResizeEvent* e) {
    QTabWidget::resizeEvent(e);
    showStartPage(); // a resize brings the start page back
}
