#pragma once
// The node selected last in any document's object tree. It is one for the
// whole program: selecting a table in one document and choosing "Select"
// from another document's menu scripts that table into the other document.
// It remembers what it needs to script the node on its own: what the node
// stands for, the dialect and the connection it was read from.

#include "catalog/ObjectTreeModel.h"
#include "catalog/SqlDialect.h"
#include "catalog/StatementGenerator.h"

#include <QString>

struct SelectedObject {
    QString key;
    QString text;
    NodeKind kind = NodeKind::NoConnection;
    ObjectRef ref;
    SqlDialect dialect;
    QString connectionString;
};

namespace catalogselection {

const SelectedObject& current();
void set(SelectedObject selected);
// Forgets the selection (nothing selected yet).
void clear();

} // namespace catalogselection
