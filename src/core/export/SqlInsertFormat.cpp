#include "export/SqlInsertFormat.h"

#include "export/OutBuffer.h"
#include "export/QueryTable.h"

#include <QStringList>
#include <cctype>

namespace exports {

SqlInsertFormat::SqlInsertFormat(const ExportOptions& options) : TextFormat(options) {
    const bool literals = options.dialect.family == DialectFamily::PostgreSql ||
                          options.dialect.family == DialectFamily::Standard;
    true_ = literals ? "TRUE" : "1";
    false_ = literals ? "FALSE" : "0";
}

void SqlInsertFormat::startSet(QByteArray& out, int setIndex) {
    if (setIndex > 0) out += eol_;
    kinds_.clear();
    QStringList names;
    for (const db::Field& f : fields_) {
        kinds_.push_back(valueKind(f));
        names << options_.dialect.quotedName(f.name);
    }
    const QString table =
        setIndex < options_.setTableNames.size() && !options_.setTableNames[setIndex].isEmpty()
            ? options_.setTableNames[setIndex]
            : options_.tableName;
    QString prefix = QStringLiteral("INSERT INTO ") + tableReference(table, options_.dialect);
    if (options_.header) prefix += QStringLiteral(" (") + names.join(QStringLiteral(", ")) + QLatin1Char(')');
    prefix_ = (prefix + QStringLiteral(" VALUES (")).toUtf8();
}

// The string literal of SqlDialect::literal, on bytes: quotes doubled, and
// for MariaDB/MySQL backslashes doubled too; T-SQL marks text beyond ASCII
// as national (N'…') so no character is lost to a code page.
char* SqlInsertFormat::putLiteral(char* p, std::string_view text) const {
    const bool mysql = options_.dialect.family == DialectFamily::MySql;
    if (options_.dialect.family == DialectFamily::TransactSql)
        for (char c : text)
            if (static_cast<unsigned char>(c) >= 0x80) {
                *p++ = 'N';
                break;
            }
    *p++ = '\'';
    for (char c : text) {
        *p++ = c;
        if (c == '\'' || (mysql && c == '\\')) *p++ = c;
    }
    *p++ = '\'';
    return p;
}

char* SqlInsertFormat::putBinary(char* p, std::string_view hex) const {
    switch (options_.dialect.family) {
    case DialectFamily::PostgreSql:
        return put(put(put(p, "'\\x"), hex), "'::bytea");
    case DialectFamily::TransactSql:
        return put(put(p, "0x"), hex);
    default:
        return put(put(put(p, "X'"), hex), "'");
    }
}

char* SqlInsertFormat::putValue(char* p, ValueKind kind, std::string_view text) const {
    switch (kind) {
    case ValueKind::Number:
        // SQLite reads a number literal as a 64-bit integer or a double: a
        // longer one goes out as text, which a NUMERIC column keeps exactly.
        if (options_.dialect.family == DialectFamily::Sqlite ? isInteger64(text) || exactDouble(text)
                                                             : isPlainNumber(text))
            return put(p, text);
        break;
    case ValueKind::Boolean:
        if (const auto b = booleanValue(text)) return put(p, *b ? true_ : false_);
        break;
    case ValueKind::Binary: {
        // hex digits, after the "0x" (MariaDB) or "\\x" (PostgreSQL) the backends write before them
        std::string_view digits = text;
        if (digits.size() >= 2 && (digits[0] == '0' || digits[0] == '\\') && (digits[1] == 'x' || digits[1] == 'X'))
            digits.remove_prefix(2);
        bool hex = digits.size() % 2 == 0;
        for (size_t i = 0; hex && i < digits.size(); ++i)
            hex = std::isxdigit(static_cast<unsigned char>(digits[i]));
        if (hex) return putBinary(p, digits);
        break;
    }
    case ValueKind::Text:
        break;
    }
    return putLiteral(p, text);
}

void SqlInsertFormat::appendRows(QByteArray& out, const db::RowBlock& rows) {
    const int columns = rows.columnCount();
    for (int r = 0; r < rows.rowCount(); ++r) {
        char* p = put(rowRoom(out, rows, r, 2, 16, size_t(prefix_.size())), prefix_);
        ++rowNumber_;
        for (int c = 0; c < columns; ++c) {
            if (c) p = put(p, ", ");
            p = rows.isNull(r, c) ? put(p, "NULL") : putValue(p, kinds_[size_t(c)], rows.text(r, c));
        }
        done(out, put(put(p, ");"), eol_));
    }
}

} // namespace exports
