#pragma once
// A small materialised result (schema listings, resource database reads):
// named columns and rows of optional text.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace db {

using Cell = std::optional<QString>;

struct Table {
    QStringList columns;
    std::vector<std::vector<Cell>> rows;

    // Index of a column by name (case-insensitive), -1 when absent.
    int column(const QString& name) const;
    // The text of a cell, empty for NULL or an unknown column.
    QString text(size_t row, const QString& columnName) const;
};

} // namespace db
