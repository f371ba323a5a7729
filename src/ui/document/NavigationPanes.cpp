#include "document/NavigationPanes.h"

#include <QHeaderView>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>

NavigationPanes::NavigationPanes(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("navigationTabs"));
    setDocumentMode(true);
    objects_ = new QTreeWidget(this);
    objects_->setObjectName(QStringLiteral("objectTree"));
    templates_ = new QTreeWidget(this);
    templates_->setObjectName(QStringLiteral("templateTree"));
    for (QTreeWidget* t : {objects_, templates_}) {
        t->setHeaderHidden(true);
        t->setContextMenuPolicy(Qt::CustomContextMenu);
    }
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(true);
    addTab(objects_, QStringLiteral("Objects"));
    addTab(templates_, QStringLiteral("Templates"));
    addTab(browser_, QStringLiteral("Help"));
    showStartPage();
}

QUrl NavigationPanes::startPage() { return QUrl(QStringLiteral("qrc:/help/vstart.htm")); }

void NavigationPanes::showStartPage() {
    if (browser_->source() != startPage()) browser_->setSource(startPage());
}

void NavigationPanes::showTab(Tab tab) {
    setCurrentIndex(tab);
    if (tab == ObjectsTab) objects_->setFocus();
    if (tab == TemplatesTab) templates_->setFocus();
}

void NavigationPanes::resizeEvent(QResizeEvent* e) {
    QTabWidget::resizeEvent(e);
    showStartPage(); // a resize brings the start page back
}
