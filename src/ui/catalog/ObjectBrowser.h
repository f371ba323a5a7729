#pragma once
// A document's object browser: the tree of the connection's catalogues,
// tables, views, procedures and columns on the "Objects" tab, with "Common
// Objects" holding the object snippets, and the "Database:" chooser.
//
// addLists() builds the first levels whenever the connection changes or the
// user asks for "Refresh"; the levels below are read when a node is first
// opened (selected, or expanded). Every read runs off the UI thread; the
// node being read shows the busy picture and a busy bar runs under the tree.
// Answers that arrive after a rebuild are dropped.
//
// The connection, the chosen database and what the catalogue said about it
// (provider kind, dialect, server family) are the document's context: the
// browser reads the connection from it and writes the rest into it.
//
// The pop-up's commands act on the node the tree marks as current: a
// right-click makes the node under the pointer current (or none, off the
// nodes), and a rebuild leaves none.

#include "catalog/ConnectionSummary.h"
#include "catalog/ObjectTreeModel.h"

#include <QWidget>
#include <optional>

class DatabaseChooser;
class DocumentContext;
class ObjectTree;
class QComboBox;
class QLabel;
class QProgressBar;
class QTreeView;
class SqlEditor;

class ObjectBrowser : public QWidget {
    Q_OBJECT
public:
    // The document's status panels the browser writes.
    enum StatusPanel { StatePanel = 1, ProviderPanel = 2, DatabasePanel = 3, VersionPanel = 4 };

    // A node as the pop-up's commands see it.
    struct Node {
        int id = -1;
        QString key;
        QString text;
        NodeKind kind = NodeKind::NoConnection;
        ObjectRef ref;
    };

    // editor receives the snippets; chooser is the toolbar's combo box. A
    // new connection in the context forgets the chosen database and rebuilds
    // the lists.
    ObjectBrowser(DocumentContext& context, SqlEditor* editor, QComboBox* chooser, QWidget* parent = nullptr);
    ~ObjectBrowser() override;

    // Rebuilds the first levels of the tree and the chooser.
    void addLists();

    // Node opening (a click, or a key released on it): the first time, reads
    // its children.
    void openNode(int id);
    // Switches the current database as the chooser would.
    void chooseDatabase(const QString& name);

    // The node the pop-up's commands act on; nullopt when none is current.
    std::optional<Node> commandTarget() const;
    // "provider - database" once the lists are built; "[NO CONNECTION]"
    // when the backend names no provider; empty without a connection.
    QString caption() const { return caption_; }
    bool isBusy() const { return pending_ > 0; }
    // The report of the last node read that failed (shown under the tree).
    QString lastFailure() const;

    QTreeView* tree() const;
    ObjectTreeModel* model() const { return model_; }
    DatabaseChooser* chooser() const { return chooser_; }

signals:
    void captionChanged(const QString& caption);
    void statusText(int panel, const QString& text);
    // The chooser switches database: the document shows this in its message pane.
    void databaseMessage(const QString& text);
    void popupRequested(const QPoint& globalPos);
    void busyChanged(bool busy);
    // addLists has finished (successfully or not).
    void listsBuilt();
    // The children of a node have arrived (or its read failed).
    void nodeRead(int id);

private:
    void applySummary(const ConnectionSummary& s);
    void addSnippets(const ConnectionSummary& s, int commonObjects, QStringList& problems);
    void readChildren(int id);
    void insertSnippet(int id);
    void showTable(const QString& table);
    void changeBusy(int delta);
    void setCaption(const QString& caption);
    void showFailure(const QString& text);

    DocumentContext& context_;
    SqlEditor* editor_;
    ObjectTree* tree_;
    ObjectTreeModel* model_;
    DatabaseChooser* chooser_;
    QLabel* failure_;
    QProgressBar* busyBar_;

    QString caption_;
    QString providerName_;
    int pending_ = 0;
    quint64 generation_ = 0;
};
