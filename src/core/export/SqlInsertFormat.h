#pragma once
// SQL INSERT statements, one per row, in the connection's dialect:
// "INSERT INTO table (a, b) VALUES (1, 'x');" (no column list without a
// header). Names are quoted as the dialect needs; numbers of number columns
// go out bare when they read as numbers (for SQLite only those it reads
// exactly); booleans as TRUE/FALSE (1/0 where
// the server has no boolean literal); bytes as the dialect's hex literal;
// everything else as a string literal; NULL as NULL. Result sets are
// separated by an empty line.

#include "export/TextFormat.h"
#include "export/ValueText.h"

namespace exports {

class SqlInsertFormat : public TextFormat {
public:
    explicit SqlInsertFormat(const ExportOptions& options);
    void appendRows(QByteArray& out, const db::RowBlock& rows) override;

protected:
    void startSet(QByteArray& out, int setIndex) override;

private:
    char* putLiteral(char* p, std::string_view text) const;
    char* putBinary(char* p, std::string_view hex) const;
    char* putValue(char* p, ValueKind kind, std::string_view text) const;

    QByteArray prefix_; // "INSERT INTO t (a, b) VALUES ("
    std::vector<ValueKind> kinds_;
    QByteArray true_, false_;
};

} // namespace exports
