#pragma once
// Where a server error is in the script the user ran. The backends say what
// they know (see db::ErrorPosition): the failing token's offset, where the
// failing statement begins, or which statement of the batch failed and the
// line within it. This turns that into a line and column of the text sent,
// found with the statement splitter where only the statement is known, and
// then into the editor's line and column by where that text begins there.
//
// Lines and columns count from 0 as the editor and the splitter count them;
// the message shows the line from 1. When the position says nothing usable
// (no member, a statement the splitter does not see) there is no location:
// never a wrong one.

#include "db/DbError.h"
#include "script/StatementSplitter.h"

#include <QString>
#include <optional>

namespace run {

// The place of the failure in text, the text given to Connection::execute.
std::optional<script::TextPoint> locateError(const db::ErrorPosition& position, QStringView text,
                                           script::Dialect dialect);

// A point of a text that begins at origin in the editor, as the editor's
// point: the first line's columns are shifted by origin's column.
script::TextPoint shiftedPoint(script::TextPoint point, script::TextPoint origin);

// The line of the closing message that names the location: "Line N".
QString errorLineText(script::TextPoint point);

} // namespace run
