#pragma once
// The navigation tab strip beside the editor: "Objects" (the object
// browser), "Templates" (the template tree), "Help" (a browser pane
// showing the start page, and keyword help) and "History" (the runs of
// every document). The features that fill the Objects, Templates and
// History tabs install their own widget with setPane().

#include <QTabWidget>

class QTextBrowser;

class NavigationPanes : public QTabWidget {
    Q_OBJECT
public:
    enum Tab { ObjectsTab = 0, TemplatesTab = 1, HelpTab = 2, HistoryTab = 3 };

    explicit NavigationPanes(QWidget* parent = nullptr);

    // Puts a feature's widget on a tab (it replaces the empty placeholder; the
    // tabs take ownership).
    void setPane(Tab tab, QWidget* pane);
    QWidget* pane(Tab tab) const { return widget(tab); }
    QTextBrowser* browser() const { return browser_; }
    // Selects a tab and focuses its pane (the help tab leaves the focus alone).
    void showTab(Tab tab);
    void showStartPage();
    static QUrl startPage();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QTextBrowser* browser_;
};
