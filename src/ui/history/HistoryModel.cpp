#include "history/HistoryModel.h"

#include "store/RunHistory.h"
#include "run/TextLayout.h"

#include <QApplication>
#include <QLocale>
#include <QStyle>

#include <algorithm>
#include <unordered_set>

namespace {
constexpr int kToolTipLines = 40; // a tooltip taller than the screen shows nothing useful
constexpr qsizetype kFirstLineChars = 300;
} // namespace

HistoryModel::HistoryModel(QObject* parent)
    : QAbstractTableModel(parent) {}

const QIcon& HistoryModel::failedIcon() const {
    if (failedIcon_.isNull()) failedIcon_ = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    return failedIcon_;
}

void HistoryModel::setEntries(std::vector<HistoryEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

void HistoryModel::removeIds(const std::vector<qint64>& ids) {
    const std::unordered_set<qint64> gone(ids.begin(), ids.end());
    // from the bottom, so the rows still to remove keep their numbers
    for (int row = rowCount() - 1; row >= 0; --row) {
        if (!gone.count(entries_[size_t(row)].id)) continue;
        beginRemoveRows(QModelIndex(), row, row);
        entries_.erase(entries_.begin() + row);
        endRemoveRows();
    }
}

const HistoryEntry* HistoryModel::entryAt(int row) const {
    return row >= 0 && row < rowCount() ? &entries_[size_t(row)] : nullptr;
}

int HistoryModel::rowOfId(qint64 id) const {
    const auto it = std::find_if(entries_.begin(), entries_.end(), [id](const HistoryEntry& e) { return e.id == id; });
    return it == entries_.end() ? -1 : int(it - entries_.begin());
}

int HistoryModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(entries_.size()); }
int HistoryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    const HistoryEntry* e = entryAt(index.row());
    if (!e) return {};
    switch (role) {
    case Qt::DisplayRole:
        switch (Column(index.column())) {
        case TimeColumn: return timeText(e->started);
        case ConnectionColumn: return e->connection;
        case DurationColumn: return durationText(e->durationMs);
        case RowsColumn: return QLocale().toString(e->rows);
        case OutcomeColumn: return e->message.isEmpty() ? e->outcome : e->message;
        case TextColumn: return firstLine(*e);
        case ColumnCount: break;
        }
        return {};
    case Qt::ToolTipRole: return toolTip(*e);
    case Qt::DecorationRole:
        return index.column() == OutcomeColumn && isFailure(*e) ? QVariant(failedIcon()) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == DurationColumn || index.column() == RowsColumn
                   ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                   : QVariant();
    default: return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[] = {"Time", "Text", "Outcome", "Rows", "Duration", "Connection"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kHeaders[section]) : QVariant();
}

QString HistoryModel::durationText(qint64 ms) {
    if (ms < 60'000) return QStringLiteral("%1 s").arg(double(ms) / 1000.0, 0, 'f', 3);
    return run::elapsedText(ms);
}

QString HistoryModel::timeText(const QDateTime& started, const QDate& today) {
    const QDateTime local = started.toLocalTime();
    return local.toString(local.date() == today ? QStringLiteral("HH:mm:ss") : QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString HistoryModel::firstLine(const HistoryEntry& e) {
    if (!e.textKept())
        return QStringLiteral("(a script of %1 characters, too long to keep)").arg(QLocale().toString(e.textLength));
    for (QStringView line : QStringView(e.text).split(QLatin1Char('\n'))) {
        const QStringView t = line.trimmed();
        if (!t.isEmpty()) return t.left(kFirstLineChars).toString();
    }
    return {};
}

QString HistoryModel::toolTip(const HistoryEntry& e) {
    QStringList about = {e.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), e.connection};
    if (!e.database.isEmpty()) about << e.database;
    const QString heading = about.join(QStringLiteral(" \u00b7 ")).toHtmlEscaped();
    if (!e.textKept()) return QStringLiteral("<p>%1</p><p>%2</p>").arg(heading, firstLine(e).toHtmlEscaped());
    QString text = e.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    const bool cut = lines.size() > kToolTipLines || e.text.size() < e.textLength;
    if (lines.size() > kToolTipLines) lines.resize(kToolTipLines);
    if (cut) lines << QString(QChar(0x2026));
    // as rich text, so a script that looks like markup shows as written
    return QStringLiteral("<p>%1</p><pre>%2</pre>").arg(heading, lines.join(QLatin1Char('\n')).toHtmlEscaped());
}

bool HistoryModel::isFailure(const HistoryEntry& e) { return store::isErrorWord(e.outcome); }
