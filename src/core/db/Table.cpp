#include "db/Table.h"

namespace db {

int Table::column(const QString& name) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString Table::text(size_t row, const QString& columnName) const {
    const int c = column(columnName);
    if (c < 0 || row >= rows.size()) return {};
    const Cell& cell = rows[row][size_t(c)];
    return cell ? *cell : QString();
}

} // namespace db
