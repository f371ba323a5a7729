#pragma once
// Values for a script's parameters (ScriptParameters.h) and the statements
// that carry them to the server. Values always travel as bound parameters,
// never as text pasted into the SQL: each statement that takes parameters
// has its markers rewritten into the form its backend binds ($1 on
// PostgreSQL, ?1 on SQLite, ? elsewhere) and goes with its values.
//
// A script with parameters is sent one statement at a time (a server binds
// values to one statement per call); a script without runs as before.

#include "base/Result.h"
#include "db/Connection.h"
#include "script/ScriptParameters.h"

#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace script {

// What the user says a value is. Text lets the server read it as the type
// the statement needs; the others are checked here first.
enum class ParameterType { Text, Integer, Decimal, Boolean, Date, Timestamp };

// Every type, in the order the dialog offers them, with its name there.
const std::vector<ParameterType>& parameterTypes();
QString typeName(ParameterType type);
std::optional<ParameterType> typeNamed(const QString& name);

struct ParameterValue {
    ParameterType type = ParameterType::Text;
    QString text;
    bool isNull = false;
};
// By parameter name ("id" for :id).
using ParameterValues = std::map<QString, ParameterValue>;

// The value as the backend binds it: text, a whole number, true or false
// (1 or 0 where the server has no booleans), a date as yyyy-MM-dd, a
// timestamp as yyyy-MM-dd HH:mm:ss[.zzz]; a null QVariant for NULL. A text
// that is not of its type is refused with a message naming shown.
Result<QVariant> boundValue(const ParameterValue& value, db::ServerFamily server, const QString& shown);

// One statement as it is sent.
struct BoundStatement {
    QString text;      // the statement, its markers rewritten
    db::Params params; // their values in the order the text binds them
    qsizetype scriptOffset = 0; // where the statement begins in the script

    // Where an offset of text falls in the script (a rewritten marker
    // counts as its start there).
    qsizetype scriptOffsetOf(qsizetype sentOffset) const;

    struct Rewrite {
        qsizetype sentStart, sentEnd, originalStart, originalEnd; // relative to the statement
    };
    std::vector<Rewrite> rewrites;
};

// The script's statements with their values bound, in order. Refused, with a
// message naming the statement (counted from 1) and its parameters, when a
// value is missing (values null: none were given) or not of its type.
Result<std::vector<BoundStatement>> bindScript(QStringView script, const ScriptParameters& found,
                                               const ParameterValues* values, db::ServerFamily server);

} // namespace script
