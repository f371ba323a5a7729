#include "document/ResultFind.h"

#include "document/ResultGrid.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

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
    connect(text_, &QLineEdit::textEdited, this, [this] { status_->clear(); });
    panes->installEventFilter(this);
    text_->installEventFilter(this);
    hide();
}

QWidget* ResultFind::searchablePane(QWidget* w) {
    for (; w; w = w->parentWidget())
        if (qobject_cast<ResultGrid*>(w) || qobject_cast<ResultTextView*>(w) || qobject_cast<SqlEditor*>(w)) return w;
    return nullptr;
}

void ResultFind::open(QWidget* pane) {
    pane_ = pane;
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
    const QString text = text_->text();
    bool found = false;
    if (auto* grid = qobject_cast<ResultGrid*>(pane_.data())) {
        found = grid->findNext(text, forward);
    } else if (auto* view = qobject_cast<ResultTextView*>(pane_.data())) {
        found = view->find(text, forward);
    } else if (auto* editor = qobject_cast<SqlEditor*>(pane_.data())) {
        int line = -1, index = -1;
        if (!forward && editor->hasSelectedText()) { // from the selection's start, backwards
            int l2 = 0, i2 = 0;
            editor->getSelection(&line, &index, &l2, &i2);
        }
        found = editor->findFirst(text, false, false, false, true, forward, line, index);
    }
    status_->setText(found ? QString() : QStringLiteral("Not found"));
    return found;
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
