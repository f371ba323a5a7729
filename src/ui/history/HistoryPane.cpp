#include "history/HistoryPane.h"

#include "base/Background.h"
#include "common/ClearButton.h"
#include "common/Dialogs.h"
#include "editor/SqlEditor.h"
#include "history/HistoryModel.h"
#include "store/HistoryWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("History");
constexpr int kSearchDelayMs = 150; // typing settles before the list is read again
} // namespace

HistoryPane::HistoryPane(SqlEditor* editor, QWidget* parent)
    : QWidget(parent), editor_(editor), search_(new QLineEdit(this)), note_(new QLabel(this)),
      view_(new QTreeView(this)), model_(new HistoryModel(this)), menu_(new QMenu(this)),
      searchDelay_(new QTimer(this)) {
    setObjectName(QStringLiteral("historyPane"));
    search_->setObjectName(QStringLiteral("historySearch"));
    search_->setPlaceholderText(QStringLiteral("Search scripts and connections"));
    common::clearButtonWhenTyped(search_);
    note_->setObjectName(QStringLiteral("historyNote"));
    note_->setWordWrap(true);
    note_->setTextFormat(Qt::PlainText);
    note_->hide();

    view_->setObjectName(QStringLiteral("historyList"));
    view_->setModel(model_);
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setAllColumnsShowFocus(true);
    view_->setAlternatingRowColors(true);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    view_->setTextElideMode(Qt::ElideRight);
    view_->header()->setSectionsMovable(true);
    view_->header()->setStretchLastSection(true);
    const QFontMetrics fm(view_->font());
    const auto width = [&fm](const char* sample) { return fm.horizontalAdvance(QString::fromLatin1(sample)) + 16; };
    view_->setColumnWidth(HistoryModel::TimeColumn, width("0000-00-00 00:00"));
    view_->setColumnWidth(HistoryModel::TextColumn, width("SELECT name, email FROM customers WHERE"));
    view_->setColumnWidth(HistoryModel::OutcomeColumn, width("Error: #0 no such table"));
    view_->setColumnWidth(HistoryModel::RowsColumn, width("000,000"));
    view_->setColumnWidth(HistoryModel::DurationColumn, width("000.000 s"));
    view_->installEventFilter(this);
    setFocusProxy(view_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(search_);
    layout->addWidget(note_);
    layout->addWidget(view_, 1);

    menu_->addAction(QStringLiteral("Insert"), this, &HistoryPane::insertCurrent);
    menu_->addAction(QStringLiteral("Copy"), this, &HistoryPane::copyCurrent);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("Delete Entry"), this, &HistoryPane::deleteSelected);
    menu_->addAction(QStringLiteral("Clear History"), this, &HistoryPane::clearHistory);

    searchDelay_->setSingleShot(true);
    searchDelay_->setInterval(kSearchDelayMs);
    connect(searchDelay_, &QTimer::timeout, this, &HistoryPane::reload);
    connect(search_, &QLineEdit::textChanged, searchDelay_, qOverload<>(&QTimer::start));
    connect(view_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        view_->setCurrentIndex(index);
        insertCurrent();
    });
    connect(view_, &QWidget::customContextMenuRequested, this, &HistoryPane::showPopup);
    connect(&HistoryWriter::instance(), &HistoryWriter::changed, this, &HistoryPane::onHistoryChanged);
}

void HistoryPane::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (stale_) reload();
}

void HistoryPane::onHistoryChanged() {
    const QString failed = HistoryWriter::instance().lastError();
    if (!failed.isEmpty()) setNote(QStringLiteral("The history could not be saved: ") + failed);
    if (isVisible())
        reload();
    else
        stale_ = true; // read when the tab is shown
}

void HistoryPane::reload() {
    stale_ = false;
    loading_ = true;
    searchDelay_->stop();
    const quint64 generation = ++generation_;
    const QString search = search_->text();
    using Entries = Result<std::vector<HistoryEntry>>;
    runInBackground<Entries>(
        this, [store = HistoryStore(), search] { return store.list(search); },
        [this, generation](Entries entries) {
            if (generation != generation_) return; // a newer reading is under way
            loading_ = false;
            if (!entries) {
                setNote(QStringLiteral("The history could not be read: ") + entries.error());
                model_->setEntries({});
                emit loaded();
                return;
            }
            if (HistoryWriter::instance().lastError().isEmpty()) setNote(QString());
            const HistoryEntry* current = currentEntry();
            const qint64 currentId = current ? current->id : 0;
            model_->setEntries(std::move(entries).value());
            const int row = currentId ? model_->rowOfId(currentId) : -1;
            if (row >= 0) view_->setCurrentIndex(model_->index(row, 0));
            emit loaded();
        });
}

void HistoryPane::dropPendingReading() {
    // A reading made before the change would bring the entries back; the
    // writer's notice reads the list again once the change is written.
    ++generation_;
    loading_ = false;
}

const HistoryEntry* HistoryPane::currentEntry() const { return model_->entryAt(view_->currentIndex().row()); }

void HistoryPane::setNote(const QString& text) {
    note_->setText(text);
    note_->setVisible(!text.isEmpty());
}

void HistoryPane::withScript(const HistoryEntry& entry, std::function<void(const QString&)> use) {
    if (entry.textComplete()) {
        use(entry.text);
        return;
    }
    if (!entry.textKept()) {
        Dialogs::get().message(this, HistoryModel::firstLine(entry), kTitle);
        return;
    }
    using Script = Result<QString>;
    runInBackground<Script>(
        this, [store = HistoryStore(), id = entry.id] { return store.fullText(id); },
        [this, use = std::move(use)](Script script) {
            if (script)
                use(*script);
            else
                Dialogs::get().message(this, script.error(), kTitle);
        });
}

void HistoryPane::insertCurrent() {
    const HistoryEntry* e = currentEntry();
    if (!e) return;
    withScript(*e, [this](const QString& script) {
        editor_->replaceSelectedText(onLinesOfItsOwn(script)); // at the caret, the caret after it
        editor_->setFocus();
    });
}

QString HistoryPane::onLinesOfItsOwn(const QString& script) const {
    // Text before the selection on its line, or after it, would run into the
    // script's first or last statement: a line break keeps them apart.
    const auto at = [this](int message, long arg = 0) { return int(editor_->SendScintilla(message, arg)); };
    const int start = at(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const int end = at(QsciScintillaBase::SCI_GETSELECTIONEND);
    const int lineStart = at(QsciScintillaBase::SCI_POSITIONFROMLINE, at(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    const int lineEnd = at(QsciScintillaBase::SCI_GETLINEENDPOSITION, at(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
    const QString eol = editor_->eolMode() == QsciScintilla::EolUnix ? QStringLiteral("\n")
                        : editor_->eolMode() == QsciScintilla::EolMac ? QStringLiteral("\r")
                                                                      : QStringLiteral("\r\n");
    QString text = script;
    if (!editor_->text(lineStart, start).trimmed().isEmpty() && !script.startsWith(QLatin1Char('\n')) &&
        !script.startsWith(QLatin1Char('\r')))
        text.prepend(eol);
    if (!editor_->text(end, lineEnd).trimmed().isEmpty() && !script.endsWith(QLatin1Char('\n')) &&
        !script.endsWith(QLatin1Char('\r')))
        text.append(eol);
    return text;
}

void HistoryPane::copyCurrent() {
    const HistoryEntry* e = currentEntry();
    if (!e) return;
    withScript(*e, [](const QString& script) { QApplication::clipboard()->setText(script); });
}

void HistoryPane::deleteSelected() {
    std::vector<qint64> ids;
    for (const QModelIndex& index : view_->selectionModel()->selectedRows())
        if (const HistoryEntry* e = model_->entryAt(index.row())) ids.push_back(e->id);
    if (ids.empty())
        if (const HistoryEntry* e = currentEntry()) ids.push_back(e->id);
    if (ids.empty()) return;
    model_->removeIds(ids); // gone at once; the writer follows
    dropPendingReading();
    HistoryWriter::instance().remove(std::move(ids));
}

void HistoryPane::clearHistory() {
    if (Dialogs::get().question(this, QStringLiteral("Clear the whole query history? This cannot be undone."), kTitle,
                                Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;
    model_->setEntries({});
    dropPendingReading();
    HistoryWriter::instance().clear();
}

void HistoryPane::showPopup(const QPoint& pos) {
    // the entry under the pointer is the one the commands act on
    const QModelIndex index = view_->indexAt(pos);
    if (index.isValid() && !view_->selectionModel()->isRowSelected(index.row(), QModelIndex()))
        view_->setCurrentIndex(index);
    else if (index.isValid())
        view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    const bool onEntry = currentEntry() != nullptr;
    const QList<QAction*> actions = menu_->actions();
    for (QAction* a : actions)
        if (!a->isSeparator()) a->setEnabled(a == actions.last() ? model_->rowCount() > 0 : onEntry);
    menu_->popup(view_->viewport()->mapToGlobal(pos));
}

bool HistoryPane::eventFilter(QObject* watched, QEvent* e) {
    if (watched == view_ && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            insertCurrent();
            return true;
        }
        if (key == Qt::Key_Delete) {
            deleteSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}
