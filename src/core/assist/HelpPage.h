#pragma once
// Filling the keyword-help placeholders of an HTML page: the content of every
// DIV element whose id is one of the given ids is replaced by that id's HTML
// fragment; everything else of the page is kept byte for byte.

#include <QHash>
#include <QString>

namespace assist {

// The ids of the three placeholders and the help text each one shows.
inline const QString kSyntaxId = QStringLiteral("syntax");           // the word's title
inline const QString kDescriptionId = QStringLiteral("description"); // its description
inline const QString kExampleId = QStringLiteral("example");         // its example

// The page with the content of each matching DIV replaced. Tag and attribute
// names are matched without regard to case, ids exactly. A DIV's content
// runs to its own closing tag (nested DIVs and comments are skipped over);
// a DIV that is never closed gets the fragment right after its start tag.
QString fillPlaceholders(const QString& html, const QHash<QString, QString>& fragmentById);

} // namespace assist
