#include "import/CsvPreview.h"

#include <QFile>
#include <QSet>

#include <map>

namespace csv {

Preview readPreview(const QString& file, std::optional<Format> format, int showRows, int guessRows) {
    Preview p;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        p.error = QStringLiteral("Cannot open %1: %2").arg(file, in.errorString());
        return p;
    }
    p.format = format ? *format : detectFormat(in.peek(64 * 1024));
    CsvReader reader(in, p.format);
    Record r;
    bool first = true;
    int read = 0;
    std::map<int, int> counts; // records by their field count
    while (read < std::max(showRows, guessRows) && reader.next(r)) {
        if (first && p.format.header) {
            first = false;
            for (int i = 0; i < r.size(); ++i) p.fieldNames << r.string(i).trimmed();
            continue;
        }
        first = false;
        if (int(p.guesses.size()) < r.size()) p.guesses.resize(size_t(r.size()));
        for (int i = 0; i < r.size(); ++i)
            if (r.quoted(i) || r.string(i) != p.format.nullMarker) p.guesses[size_t(i)].add(r.text(i));
        ++counts[r.size()];
        if (read < showRows) p.rows.push_back(r);
        ++read;
    }
    if (!reader.error().isEmpty() && p.rows.empty() && p.fieldNames.isEmpty()) {
        p.error = reader.error();
        return p;
    }
    // The header's fields; without one, the commonest count of the rows read
    // (a bad row must not add a column).
    int fields = int(p.fieldNames.size());
    if (!p.format.header) {
        for (const auto& [n, times] : counts)
            if (fields == 0 || times > counts[fields]) fields = n;
        if (fields == 0) fields = int(p.guesses.size());
    }
    p.guesses.resize(size_t(fields));
    QSet<QString> seen;
    for (int i = 0; i < fields; ++i) {
        QString name = p.fieldNames.value(i);
        if (name.isEmpty() || seen.contains(name.toLower())) name = QStringLiteral("column%1").arg(i + 1);
        seen.insert(name.toLower());
        if (i < p.fieldNames.size())
            p.fieldNames[i] = name;
        else
            p.fieldNames << name;
    }
    return p;
}

std::vector<ImportColumn> newTableColumns(const Preview& preview) {
    std::vector<ImportColumn> out;
    for (int i = 0; i < preview.fieldNames.size(); ++i) {
        const TypeGuess& g = preview.guesses[size_t(i)];
        out.push_back({i, preview.fieldNames[i], g.type(), g});
    }
    return out;
}

std::vector<ImportColumn> existingTableColumns(const Preview& preview, const QStringList& tableColumns) {
    std::vector<ImportColumn> out;
    for (int c = 0; c < tableColumns.size(); ++c) {
        int source = -1;
        if (preview.format.header) {
            for (int f = 0; f < preview.fieldNames.size() && source < 0; ++f)
                if (preview.fieldNames[f].compare(tableColumns[c], Qt::CaseInsensitive) == 0) source = f;
        } else if (c < preview.fieldNames.size()) {
            source = c;
        }
        out.push_back({source, tableColumns[c], ColumnType::Text, {}});
    }
    return out;
}

} // namespace csv
