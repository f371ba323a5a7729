#include "document/ResultFind.h"

#include "document/ResultGrid.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace {
// A pause in typing long enough to search once for several keys on a big
// result, short enough to feel immediate.
constexpr int kTypingPauseMs = 120;
} // namespace

ResultFind::ResultFind(QWidget* panes) : QWidget(panes) {
    setObjectName(QStringLiteral("resultFind"));
    setAutoFillBackground(true);
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(4, 2, 4, 2);
    auto* caption = new QLabel(QStringLiteral("Find:"), this);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("resultFindText"));
    text_->setMinimumWidth(180);
    caption->setBuddy(text_);
    auto* previous = new QToolButton(this);
    previous->setText(QStringLiteral("▲"));
    previous->setToolTip(QStringLiteral("Previous (Shift+F3)"));
    auto* next = new QToolButton(this);
    next->setText(QStringLiteral("▼"));
    next->setToolTip(QStringLiteral("Next (F3)"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("resultFindStatus"));
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("Close (Esc)"));
    l->addWidget(caption);
    l->addWidget(text_);
    l->addWidget(previous);
    l->addWidget(next);
    l->addWidget(status_);
    l->addWidget(close);
    connect(previous, &QToolButton::clicked, this, [this] { findNext(false); });
    connect(next, &QToolButton::clicked, this, [this] { findNext(true); });
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        if (pane_) pane_->setFocus();
    });
    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(kTypingPauseMs);
    connect(typing_, &QTimer::timeout, this, &ResultFind::findAsTyped);
    connect(text_, &QLineEdit::textEdited, this, [this] {
        status_->clear();
        typing_->start();
    });
    panes->installEventFilter(this);
    text_->installEventFilter(this);
    hide();
}

QWidget* ResultFind::searchablePane(QWidget* w) {
    for (; w; w = w->parentWidget())
        if (qobject_cast<ResultGrid*>(w) || qobject_cast<ResultTextView*>(w) || qobject_cast<SqlEditor*>(w)) return w;
    return nullptr;
}

void ResultFind::setPane(QWidget* pane) {
    pane_ = pane;
    start_ = placeInPane();
}

QString ResultFind::statusText() const { return status_->text(); }

void ResultFind::open(QWidget* pane) {
    typing_->stop();
    pane_ = pane;
    start_ = placeInPane();
    status_->clear();
    place();
    show();
    raise();
    text_->setFocus();
    text_->selectAll();
}

bool ResultFind::findNext(bool forward) {
    if (!pane_) return false;
    if (text_->text().isEmpty()) {
        open(pane_);
        return false;
    }
    typing_->stop();
    const bool found = search(forward, false);
    start_ = placeInPane(); // typing on goes on from the place found
    return found;
}

void ResultFind::findAsTyped() {
    if (!pane_) return;
    moveTo(start_);
    if (!text_->text().isEmpty()) search(true, true);
}

bool ResultFind::search(bool forward, bool fromCurrent) {
    const QString text = text_->text();
    const Place before = placeInPane();
    bool found = false;
    if (auto* grid = qobject_cast<ResultGrid*>(pane_.data())) {
        found = grid->findNext(text, forward, fromCurrent);
    } else if (auto* view = qobject_cast<ResultTextView*>(pane_.data())) {
        // the view searches forward from its selection's end: an empty
        // selection at the start includes a place beginning there
        if (fromCurrent) view->setSelection({before.major, before.minor}, {before.major, before.minor});
        found = view->find(text, forward);
    } else if (auto* editor = qobject_cast<SqlEditor*>(pane_.data())) {
        int line = -1, index = -1;
        if (fromCurrent || (!forward && editor->hasSelectedText())) { // from the start of the place
            line = int(before.major);
            index = int(before.minor);
        }
        found = editor->findFirst(text, false, false, false, true, forward, line, index);
    }
    if (!found) {
        status_->setText(QStringLiteral("Not found"));
        return false;
    }
    const Place after = placeInPane();
    const bool wrapped = before.major >= 0 && (forward ? (fromCurrent ? after < before : after <= before)
                                                       : after >= before);
    status_->setText(!wrapped ? QString()
                     : forward ? QStringLiteral("Continued from the top")
                               : QStringLiteral("Continued from the bottom"));
    return true;
}

ResultFind::Place ResultFind::placeInPane() const {
    if (auto* grid = qobject_cast<ResultGrid*>(pane_.data())) {
        const QModelIndex cur = grid->currentIndex();
        return cur.isValid() ? Place{cur.row(), cur.column()} : Place{};
    }
    if (auto* view = qobject_cast<ResultTextView*>(pane_.data())) {
        const auto [line, column] = view->selectionStart();
        return {line, column};
    }
    if (auto* editor = qobject_cast<SqlEditor*>(pane_.data())) {
        int line = 0, index = 0;
        if (editor->hasSelectedText()) {
            int l2 = 0, i2 = 0;
            editor->getSelection(&line, &index, &l2, &i2);
        } else {
            editor->getCursorPosition(&line, &index);
        }
        return {line, index};
    }
    return {};
}

void ResultFind::moveTo(Place place) {
    if (auto* grid = qobject_cast<ResultGrid*>(pane_.data())) {
        grid->setCurrentIndex(place.major < 0 ? QModelIndex()
                                              : grid->model()->index(int(place.major), int(place.minor)));
    } else if (auto* view = qobject_cast<ResultTextView*>(pane_.data())) {
        const ResultTextView::Position at{std::max<qint64>(place.major, 0), place.minor};
        view->setSelection(at, at);
    } else if (auto* editor = qobject_cast<SqlEditor*>(pane_.data())) {
        editor->setCursorPosition(int(std::max<qint64>(place.major, 0)), int(place.minor));
    }
}

void ResultFind::place() {
    QWidget* panes = parentWidget();
    adjustSize();
    move(std::max(0, panes->width() - width() - 16), std::max(0, panes->height() - height() - 4));
}

bool ResultFind::eventFilter(QObject* watched, QEvent* e) {
    if (watched == parentWidget() && e->type() == QEvent::Resize && isVisible()) place();
    if (watched == text_ && e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            findNext(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void ResultFind::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        hide();
        if (pane_) pane_->setFocus();
        return;
    }
    QWidget::keyPressEvent(e);
}
