#include "assist/CompletionList.h"

#include "common/Theme.h"

#include <QHash>
#include <algorithm>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {

// A small badge: a coloured rounded square with the kind's letter.
QIcon badge(QChar letter, const QColor& colour) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
    QFont f;
    f.setPixelSize(20);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QString(letter));
    return QIcon(pm);
}

} // namespace

QVariant CompletionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(entries_.size())) return {};
    const assist::Candidate& e = entries_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return e.text;
    case Qt::ToolTipRole:
        if (placeholder_) return e.text;
        return e.detail.isEmpty() ? QVariant() : QVariant(e.detail + (e.help.isEmpty() ? QString() : QStringLiteral("<br>") + e.help));
    case Qt::DecorationRole:
        return CompletionList::iconFor(e.kind);
    case Qt::ForegroundRole:
        return placeholder_ ? QVariant(themeColour(Theme::Role::DimText)) : QVariant();
    default:
        return {};
    }
}

const assist::Candidate& CompletionModel::at(int row) const {
    static const assist::Candidate none;
    return row >= 0 && row < int(entries_.size()) ? entries_[size_t(row)] : none;
}

void CompletionModel::clear() {
    beginResetModel();
    entries_.clear();
    placeholder_ = false;
    endResetModel();
}

void CompletionModel::append(const QStringList& texts, EntryKind kind) {
    std::vector<assist::Candidate> entries;
    entries.reserve(size_t(texts.size()));
    for (const QString& t : texts)
        entries.push_back({t, t, kind, QString(), QString()});
    append(std::move(entries));
}

void CompletionModel::append(std::vector<assist::Candidate> entries) {
    if (placeholder_) clear();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const assist::Candidate& c) { return c.text.isEmpty(); }),
                  entries.end());
    if (entries.empty()) return;
    beginInsertRows({}, int(entries_.size()), int(entries_.size() + entries.size()) - 1);
    if (entries_.empty())
        entries_ = std::move(entries);
    else
        entries_.insert(entries_.end(), std::make_move_iterator(entries.begin()),
                        std::make_move_iterator(entries.end()));
    endInsertRows();
}

void CompletionModel::setPlaceholder(const QString& text) {
    beginResetModel();
    entries_.assign(1, {text, QString(), EntryKind::Placeholder, QString(), QString()});
    placeholder_ = true;
    endResetModel();
}

int CompletionModel::find(const QString& prefix) const {
    if (placeholder_) return entries_.empty() ? -1 : 0;
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].text.startsWith(prefix, Qt::CaseInsensitive)) return int(i);
    return -1;
}

CompletionList::CompletionList(QWidget* parent) : QListView(parent), model_(new CompletionModel(this)) {
    setModel(model_);
    setUniformItemSizes(true); // constant-time layout for lists of many thousand names
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
}

QString CompletionList::currentText() const {
    return currentEntry().text;
}

QString CompletionList::currentInsert() const {
    return currentEntry().insert;
}

const assist::Candidate& CompletionList::currentEntry() const {
    return model_->at(currentIndex().isValid() ? currentIndex().row() : -1);
}

void CompletionList::setEntries(const QStringList& texts, EntryKind kind) {
    model_->clear();
    model_->append(texts, kind);
}

void CompletionList::setEntries(std::vector<assist::Candidate> entries) {
    model_->clear();
    model_->append(std::move(entries));
}

void CompletionList::addEntries(const QStringList& texts, EntryKind kind) {
    model_->append(texts, kind);
}

void CompletionList::setPlaceholder(const QString& text) {
    model_->setPlaceholder(text);
    setCurrentIndex(model_->index(0));
}

bool CompletionList::locate(const QString& prefix) {
    const int row = model_->find(prefix);
    if (row < 0) {
        setCurrentIndex({});
        return false;
    }
    const QModelIndex index = model_->index(row);
    setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::PositionAtTop);
    return true;
}

QIcon CompletionList::iconFor(EntryKind kind) {
    static const QHash<int, QIcon> icons = {
        {int(EntryKind::Keyword), badge(QLatin1Char('K'), QColor(0x1f, 0x3f, 0xbf))},
        {int(EntryKind::Operator), badge(QLatin1Char('O'), QColor(0x8a, 0x4b, 0x08))},
        {int(EntryKind::Function), badge(QLatin1Char('F'), QColor(0xa0, 0x1c, 0xb0))},
        {int(EntryKind::DataType), badge(QLatin1Char('T'), QColor(0x1e, 0x7f, 0x8c))},
        {int(EntryKind::Table), badge(QLatin1Char('U'), QColor(0x2e, 0x7d, 0x32))},
        {int(EntryKind::View), badge(QLatin1Char('V'), QColor(0x55, 0x8b, 0x2f))},
        {int(EntryKind::Schema), badge(QLatin1Char('N'), QColor(0x45, 0x5a, 0x64))},
        {int(EntryKind::SystemTable), badge(QLatin1Char('S'), QColor(0x6d, 0x6d, 0x6d))},
        {int(EntryKind::Column), badge(QLatin1Char('C'), QColor(0xc0, 0x6a, 0x00))},
        {int(EntryKind::Variable), badge(QLatin1Char('@'), QColor(0x5a, 0x3e, 0xa8))},
        {int(EntryKind::Placeholder), badge(QLatin1Char('!'), QColor(0xb0, 0xb0, 0xb0))},
    };
    return icons.value(int(kind));
}
