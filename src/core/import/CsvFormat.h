#pragma once
// How a CSV file is written: its field delimiter, quote character, whether
// its first record is a header, its text encoding and the text that stands
// for NULL. detectFormat() guesses all but the NULL marker from the file's
// first bytes; the user may override each.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace csv {

enum class Encoding { Utf8, Utf16LE, Utf16BE, Latin1 };

const std::vector<Encoding>& encodings();
QString encodingName(Encoding e); // "UTF-8", "UTF-16LE", "UTF-16BE", "Latin-1"
std::optional<Encoding> encodingNamed(const QString& name);

struct Format {
    char delimiter = ',';
    char quote = '"'; // '\0': fields are never quoted
    bool header = true;
    Encoding encoding = Encoding::Utf8;
    // An unquoted field equal to this is NULL; with the default (empty) an
    // empty unquoted field is NULL, while "" stays the empty text.
    QString nullMarker;
};

// The delimiters detection chooses from, in order of preference.
inline constexpr char kDelimiters[] = {',', ';', '\t', '|'};

// The likeliest format of a file that begins with sample: the encoding from
// its byte-order mark (else UTF-8 when the bytes are valid UTF-8, else
// Latin-1); the delimiter that splits the most records into the same
// number of fields; '"' or '\'' as the quote, whichever encloses fields;
// a header when the first record's fields are names (none of them a
// number or a date where the column below has numbers or dates, and all of
// them different).
Format detectFormat(const QByteArray& sample);

// A name for a delimiter as the user reads it: "comma", "tab", …, or the character.
QString delimiterName(char delimiter);

} // namespace csv
