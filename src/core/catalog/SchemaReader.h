#pragma once
// Reading a database's structure: the list readers (names packed as
// "a|b|c|") for completion lists and the browser's first level, the tree
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

#include <QString>

#include <vector>

struct TreeNode {
    QString key;
    QString text;
    int image = 0;
};

// A filler's outcome: the nodes to add, and the error report when a step
// failed (nodes found before the failure are still listed).
struct NodeList {
    std::vector<TreeNode> nodes;
    QString error;
};

// The provider kind: 1 catalogue server, 2 single database, 0 the lookup failed.
struct ProviderKind {
    int kind = 0;
    QString error; // the error report when kind is 0
};

namespace schemareader {

QString errorReport(const QString& description);

QString getTableList(const QString& connectionString);
QString getSystemTableList(const QString& connectionString);
QString getCatalogList(const QString& connectionString);
// currentDatabase, when not empty, becomes the default database first.
QString getColumnList(const QString& connectionString, const QString& table, const QString& currentDatabase);

ProviderKind getProviderKind(const QString& providerName);

// type "U" tables, "S" system tables, "V" views; parentKey "CCU|cat" style
// (catalogue from the fifth character) or "" for the connection's default.
NodeList addTableNodes(const QString& connectionString, const QString& parentKey, const QString& type);
NodeList addProcedureNodes(const QString& connectionString, const QString& parentKey, const QString& type);
NodeList addColumnNodes(const QString& connectionString, const QString& parentKey);
NodeList addFlatColumnNodes(const QString& connectionString, const QString& parentKey);
NodeList addColumnInfoNodes(const QString& connectionString, const QString& parentKey, const QString& columnName);
NodeList addFlatColumnInfoNodes(const QString& connectionString, const QString& parentKey, const QString& columnName);

} // namespace schemareader
