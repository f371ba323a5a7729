#pragma once
// The object browser's node keys are pieces joined by "|" (SchemaReader.h
// has the grammar). A name put into a key is escaped so that any name
// survives the way back: "\" becomes "\\" and "|" becomes "\|". A name
// without either is written as it is, so the keys of ordinary names read
// exactly as the grammar shows them ("XXXXX|CCU|pubs|authors").

#include <QString>
#include <QStringList>

namespace catalog {

// A name as one piece of a key.
QString nodeKeyPiece(const QString& name);
// The pieces of a key, split at every "|" that is not escaped, each with
// its escapes undone: splitNodeKey(nodeKeyPiece(a) + "|" + nodeKeyPiece(b)) == {a, b}.
QStringList splitNodeKey(const QString& key);

} // namespace catalog
