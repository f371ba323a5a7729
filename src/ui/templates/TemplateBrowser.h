#pragma once
// The template tree of a query document ("Templates" tab): the root
// "Templates", the groups by title, the templates of each group in table
// order, and "(No group)" for templates whose group is gone.
//
// Choosing a node (click, arrow keys, right-click) records it in the
// program-wide TemplateSelection. A double-click or Enter on a template
// appends its text after the last line of the editor. A right-click asks
// the owner to show the templates pop-up menu.
//
// The tree is read from the resource database when it is first shown (or
// getTemplates() is called), not when the document is made: a new window
// opens without reading templates it does not show.

#include <QTreeWidget>

class SqlEditor;

class TemplateBrowser : public QTreeWidget {
    Q_OBJECT
public:
    explicit TemplateBrowser(SqlEditor* editor, QWidget* parent = nullptr);

    // Rebuilds the tree from the resource database, keeping the open groups
    // and showing the selected template when it is in the tree.
    void getTemplates();
    bool isLoaded() const { return loaded_; }

    // The node with this key, or nullptr (the tree is read first if it was not yet).
    QTreeWidgetItem* itemForKey(const QString& key);
    static QString keyOf(const QTreeWidgetItem* item);

    // A node was chosen: remember it program-wide.
    void choose(QTreeWidgetItem* item);
    // Double-click / Enter: a template is appended to the script; any other
    // node is only chosen.
    void activate(QTreeWidgetItem* item);

signals:
    void popupRequested(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void appendTemplate(qint64 id);

    SqlEditor* editor_;
    QHash<QString, QTreeWidgetItem*> byKey_;
    bool loaded_ = false;
};
