#pragma once
// JSON and JSON Lines. A row is an object keyed by column name (an array of
// values without a header); a column name that comes twice gets "_2", "_3"…
// so no value is lost. Numbers go out unquoted only from number columns and
// only when the text is a JSON number, written exactly as the server sent
// it (a 1,000-digit NUMERIC stays exact); booleans of boolean columns as
// true/false; NULL as null; everything else as a string. Bytes that are not
// UTF-8 become U+FFFD, so the output always parses.
//
// JSON writes each result set as one array, one row per line, followed by a
// line end: a script with several result sets gives several arrays, which
// JSON tools (jq) read one after the other. JSON Lines writes one row per
// line and nothing else.

#include "export/TextFormat.h"
#include "export/ValueText.h"

namespace exports {

class JsonFormat : public TextFormat {
public:
    JsonFormat(const ExportOptions& options, bool lines);
    void appendRows(QByteArray& out, const db::RowBlock& rows) override;
    void endSet(QByteArray& out) override;

protected:
    void startSet(QByteArray& out, int setIndex) override;

private:
    const bool lines_;
    std::vector<QByteArray> keys_; // each column's quoted key and ':' (empty without a header)
    std::vector<ValueKind> kinds_;
    size_t keyRoom_ = 0; // the longest key
};

// Appends text as a JSON string, quotes included.
void appendJsonString(QByteArray& out, std::string_view text);

} // namespace exports
