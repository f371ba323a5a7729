#pragma once
// Reading a database's structure: the list readers (names in the order the
// backend lists them) for completion lists and the browser's first level, the tree
// fillers that give the children of an object-browser node, and the
// provider kind of a connection. Each call opens its own connection and
// closes it again; the browser and the completion lists call them off the UI
// thread.
//
// Node keys follow the browser's grammar: tables and views "XXXXX|" + parent
// + "|" + name, procedures "ZZZZZ|…", columns "YYYYYY|…" (catalogue-server
// layout) or "ZZZZZZ|…" (single database), column details "QQQQQQQQQQS|" and
// "QQQQQQQQQQT|" + column key. Keys stay unique: a second table of the same
// name (another schema) gets its schema appended as one more "|" piece.
// Names inside keys are escaped (NodeKey.h), so a "|" in a name is kept.
//
// A table read without its schema is the one the connection's search path
// finds, else the first of that name in any schema: the browser passes the
// schema it listed the table with, so tables off the path read as well.

#include "base/Result.h"
#include "catalog/StatementGenerator.h"

#include <QString>
#include <QStringList>

#include <vector>

// The pictures of the object browser's nodes, by their place in its image list.
enum class NodeImage : int {
    None = 0,
    Catalog = 1,
    Root = 2,         // the connection, and "[NO CONNECTION]"
    Folder = 5,       // catalogue folders, "Common Objects", snippet groups
    FolderOpen = 6,   // a selected snippet group
    Snippet = 11,
    ColumnSize = 15,  // a column's defined size
    ColumnType = 16,  // a column's type name
    Column = 22,
    Table = 23,       // user tables and procedures
    OtherTable = 24,  // system tables and views
};

struct TreeNode {
    TreeNode() = default;
    TreeNode(QString key_, QString text_, NodeImage image_, QString schema_ = {})
        : key(std::move(key_)), text(std::move(text_)), image(image_), schema(std::move(schema_)) {}
    QString key;
    QString text;
    NodeImage image = NodeImage::None;
    QString schema; // tables, views and procedures: the schema they belong to, if any
};

// A filler's outcome: the nodes to add, and whether every step succeeded
// (nodes found before a failure are still listed, and the tree keeps them).
struct NodeList {
    std::vector<TreeNode> nodes;
    Status status;
};

// How the object browser lays out a connection's catalogue; the numbers are
// those of the providers table.
enum class ProviderKind : int {
    None = 0,           // the lookup failed, or a kind that lists nothing
    CatalogServer = 1,  // several catalogues (databases), each with its folders
    SingleDatabase = 2, // the tables directly under the root
};

namespace catalog {

// "Error: " + description + a line saying the structure could not be read:
// the message of every failure of this reader.
QString errorReport(const QString& description);

Result<QStringList> getTableList(const QString& connectionString);
Result<QStringList> getSystemTableList(const QString& connectionString);
Result<QStringList> getCatalogList(const QString& connectionString);
// currentDatabase, when not empty, becomes the default database first; a
// schema, when given, picks the table of that schema alone.
Result<QStringList> getColumnList(const QString& connectionString, const QString& table,
                                  const QString& currentDatabase, QString schema = QString());

// The parameters of a procedure or function (in call order) and whether it
// is called as a function.
Result<ProcedureSignature> getProcedureSignature(const QString& connectionString, const QString& catalog,
                                                 const QString& schema, const QString& procedure);

// The kind stored for a provider (DBMS) name in the providers table.
Result<ProviderKind> getProviderKind(const QString& providerName);

// type "U" tables, "S" system tables, "V" views; parentKey "CCU|cat" style
// (catalogue from the fifth character) or "" for the connection's default.
NodeList addTableNodes(const QString& connectionString, const QString& parentKey, const QString& type);
NodeList addProcedureNodes(const QString& connectionString, const QString& parentKey, const QString& type);
// schema: the table's, as its node was listed with (for a column node, its
// table's); empty reads the schema from the key or looks the table up.
NodeList addColumnNodes(const QString& connectionString, const QString& parentKey, const QString& schema = {});
NodeList addFlatColumnNodes(const QString& connectionString, const QString& parentKey, const QString& schema = {});
NodeList addColumnInfoNodes(const QString& connectionString, const QString& parentKey, const QString& columnName,
                            const QString& schema = {});
NodeList addFlatColumnInfoNodes(const QString& connectionString, const QString& parentKey, const QString& columnName,
                                const QString& schema = {});

} // namespace catalog
