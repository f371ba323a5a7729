#pragma once
// The navigation tab strip beside the editor: "Objects" (the catalogue
// tree), "Templates" (the template tree) and "Help" (a browser pane showing
// the start page, and keyword help later).

#include <QTabWidget>

class QTextBrowser;
class QTreeWidget;

class NavigationPanes : public QTabWidget {
    Q_OBJECT
public:
    enum Tab { ObjectsTab = 0, TemplatesTab = 1, HelpTab = 2 };

    explicit NavigationPanes(QWidget* parent = nullptr);

    QTreeWidget* objectTree() const { return objects_; }
    QTreeWidget* templateTree() const { return templates_; }
    QTextBrowser* browser() const { return browser_; }
    // Selects a tab and focuses its tree (the help tab leaves the focus alone).
    void showTab(Tab tab);
    void showStartPage();
    static QUrl startPage();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QTreeWidget* objects_;
    QTreeWidget* templates_;
    QTextBrowser* browser_;
};
