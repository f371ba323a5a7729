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

#include "catalog/ConnectionSummary.h"
#include "catalog/SqlDialect.h"

#include <QWidget>

class DatabaseChooser;
class ObjectTree;
class ObjectTreeModel;
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

    // editor receives the snippets; chooser is the toolbar's combo box.
    ObjectBrowser(SqlEditor* editor, QComboBox* chooser, QWidget* parent = nullptr);
    ~ObjectBrowser() override;

    // A new connection: the chosen database is forgotten and the lists rebuilt.
    void setConnectionString(const QString& connectionString);
    QString connectionString() const { return connectionString_; }
    // Rebuilds the first levels of the tree and the chooser.
    void addLists();

    // Node opening: records the node as the program's selected object and,
    // the first time, reads its children.
    void openNode(int id);
    // The database that runs use (empty: the connection's default).
    QString currentDatabase() const;
    // Switches the current database as the chooser would.
    void chooseDatabase(const QString& name);

    ProviderKind sqlStyle() const { return kind_; }
    const SqlDialect& dialect() const { return dialect_; }
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

    SqlEditor* editor_;
    ObjectTree* tree_;
    ObjectTreeModel* model_;
    DatabaseChooser* chooser_;
    QLabel* failure_;
    QProgressBar* busyBar_;

    QString connectionString_;
    QString requestedDatabase_; // the database a rebuild asks for, until it is built
    QString caption_;
    QString providerName_;
    ProviderKind kind_ = ProviderKind::None;
    SqlDialect dialect_;
    int pending_ = 0;
    quint64 generation_ = 0;
};
