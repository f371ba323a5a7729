#include "document/ResultTextView.h"

#include "base/Memory.h"
#include "common/Theme.h"
#include "editor/SqlEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace {

constexpr int kMargin = 4;            // pixels left of the text
constexpr qsizetype kExactLine = 4096; // longer lines are measured as fixed-pitch text
constexpr qint64 kSelectionLines = 10000; // larger mouse selections are not offered to X11 middle-click pasting

// The line as drawn: control characters become visible symbols, one for one,
// so columns of the shown text are columns of the real one.
QString shown(QString line) {
    for (QChar& c : line) {
        const ushort u = c.unicode();
        if (u == '\t') c = QChar(0x2192);
        else if (u == '\n') c = QChar(0x21B5);
        else if (u < 0x20) c = QChar(0x2400 + u);
    }
    return line;
}

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

} // namespace

ResultTextView::ResultTextView(QWidget* parent) : QAbstractScrollArea(parent), dragTimer_(new QTimer(this)) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    dragTimer_->setInterval(50);
    connect(dragTimer_, &QTimer::timeout, this, &ResultTextView::dragScroll);
    setEditorFont(QString(), QString());
    updateScrollBars();
    connect(&Theme::instance(), &Theme::changed, viewport(), [this] { viewport()->update(); });
}

void ResultTextView::setEditorFont(const QString& family, const QString& pointSize) {
    setFont(SqlEditor::fontFromSettings(family, pointSize));
    updateScrollBars();
    viewport()->update();
}

// ---- content ----

void ResultTextView::append(const QString& text) {
    const qint64 before = text_.lineCount();
    text_.append(text);
    updateScrollBars();
    if (before <= firstVisibleLine() + visibleLines()) viewport()->update();
}

void ResultTextView::appendRows(std::shared_ptr<const db::RowBlock> rows, TextWidths widths) {
    const qint64 before = text_.lineCount();
    text_.appendRows(std::move(rows), std::move(widths));
    updateScrollBars();
    if (before <= firstVisibleLine() + visibleLines()) viewport()->update();
}

void ResultTextView::clear() {
    const bool large = text_.memoryUse() > (size_t(1) << 20);
    text_.clear();
    anchor_ = caret_ = {};
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    if (large) base::releaseFreed();
}

void ResultTextView::setText(const QString& text) {
    clear();
    append(text);
}

// ---- geometry ----

int ResultTextView::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }
int ResultTextView::visibleLines() const { return std::max(1, viewport()->height() / lineHeight()); }
qint64 ResultTextView::firstVisibleLine() const { return verticalScrollBar()->value(); }

void ResultTextView::updateScrollBars() {
    const qint64 lines = text_.lineCount();
    verticalScrollBar()->setRange(0, int(std::clamp<qint64>(lines - visibleLines(), 0, INT_MAX)));
    verticalScrollBar()->setPageStep(visibleLines());
    const int charWidth = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M')));
    const qint64 width = qint64(text_.longestLine() + 1) * charWidth + 2 * kMargin;
    horizontalScrollBar()->setRange(0, int(std::clamp<qint64>(width - viewport()->width(), 0, INT_MAX)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(charWidth);
}

int ResultTextView::xOf(const QString& line, qsizetype column) const {
    column = std::clamp<qsizetype>(column, 0, line.size());
    if (line.size() > kExactLine) return int(column * fontMetrics().horizontalAdvance(QLatin1Char('M')));
    return fontMetrics().horizontalAdvance(line.left(column));
}

ResultText::Position ResultTextView::positionAt(const QPoint& p) const {
    const qint64 last = text_.lineCount() - 1;
    const qint64 line = std::clamp<qint64>(firstVisibleLine() + (p.y() < 0 ? -1 - (-p.y() / lineHeight())
                                                                              : p.y() / lineHeight()),
                                           0, last);
    const QString s = shown(text_.line(line));
    const int x = p.x() + horizontalScrollBar()->value() - kMargin;
    if (s.size() > kExactLine) {
        const int w = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M')));
        return {line, std::clamp<qsizetype>((x + w / 2) / w, 0, s.size())};
    }
    // the column whose left edge is nearest to x
    int left = 0;
    for (qsizetype i = 0; i < s.size();) {
        const qsizetype step = s[i].isHighSurrogate() && i + 1 < s.size() ? 2 : 1;
        const int w = fontMetrics().horizontalAdvance(s.mid(i, step));
        if (x < left + w / 2) return {line, i};
        left += w;
        i += step;
    }
    return {line, s.size()};
}

ResultText::Position ResultTextView::clampedTo(Position p) const {
    p.line = std::clamp<qint64>(p.line, 0, text_.lineCount() - 1);
    p.column = std::clamp<qsizetype>(p.column, 0, text_.line(p.line).size());
    return p;
}

// ---- painting ----

void ResultTextView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), themeColour(Theme::Role::ResultPaper));
    p.setFont(font());
    const int lh = lineHeight();
    const int ascent = fontMetrics().ascent();
    const int hscroll = horizontalScrollBar()->value();
    const Position selFrom = std::min(anchor_, caret_), selTo = std::max(anchor_, caret_);
    const qint64 first = firstVisibleLine();
    const qint64 last = std::min(text_.lineCount() - 1, first + visibleLines());
    const QColor selection = palette().color(QPalette::Highlight);
    const QColor selectedText = palette().color(QPalette::HighlightedText);
    const QColor normal = themeColour(Theme::Role::ResultText);
    const int charWidth = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M')));
    for (qint64 l = first; l <= last; ++l) {
        const QString s = shown(text_.line(l));
        const int y = int(l - first) * lh;
        const int x0 = kMargin - hscroll;
        QString drawn = s;
        int drawX = x0;
        if (s.size() > kExactLine) { // only the part in sight of a very long line
            const qsizetype from = std::max<qsizetype>(0, hscroll / charWidth - 2);
            drawn = s.mid(from, viewport()->width() / charWidth + 4);
            drawX = x0 + int(from) * charWidth;
        }
        QRect selected;
        if (selFrom < selTo && l >= selFrom.line && l <= selTo.line) {
            const int a = l == selFrom.line ? xOf(s, selFrom.column) : 0;
            // a selected line break shows as a little room after the text
            const int b = l == selTo.line ? xOf(s, selTo.column) : xOf(s, s.size()) + charWidth / 2;
            selected = QRect(x0 + a, y, b - a, lh);
            p.fillRect(selected, selection);
        }
        p.setPen(normal);
        p.drawText(drawX, y + ascent, drawn);
        if (!selected.isEmpty()) {
            p.save();
            p.setClipRect(selected);
            p.setPen(selectedText);
            p.drawText(drawX, y + ascent, drawn);
            p.restore();
        }
        if (l == caret_.line && hasFocus()) p.fillRect(x0 + xOf(s, caret_.column), y, 1, lh, normal);
    }
}

void ResultTextView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void ResultTextView::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void ResultTextView::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}

// ---- selection and caret ----

void ResultTextView::setSelection(Position anchor, Position caret) {
    anchor_ = clampedTo(anchor);
    caret_ = clampedTo(caret);
    ensureCaretVisible();
    viewport()->update();
}

bool ResultTextView::find(const QString& text, bool forward) {
    const qint64 lines = text_.lineCount();
    if (text.isEmpty() || lines == 0) return false;
    // forward from the selection's end, backward from its start
    const Position from = forward ? std::max(anchor_, caret_) : std::min(anchor_, caret_);
    for (qint64 step = 0; step <= lines; ++step) {
        const qint64 line = ((forward ? from.line + step : from.line - step) % lines + lines) % lines;
        const QString shown = text_.line(line);
        qsizetype at = -1;
        if (forward) {
            at = shown.indexOf(text, step == 0 ? from.column : 0, Qt::CaseInsensitive);
        } else if (step > 0 || from.column > 0) {
            const qsizetype start = step == 0 ? from.column - 1 : shown.size();
            at = start < 0 ? -1 : shown.lastIndexOf(text, start, Qt::CaseInsensitive);
            if (step == 0 && at >= 0 && at + text.size() > from.column) at = -1;
        }
        if (at >= 0) {
            setSelection({line, at}, {line, at + text.size()});
            return true;
        }
    }
    return false;
}

void ResultTextView::selectAll() {
    anchor_ = {};
    caret_ = text_.end();
    viewport()->update();
}

void ResultTextView::copy() {
    if (!hasSelectedText()) return;
    QApplication::clipboard()->setText(selectedText());
}

void ResultTextView::moveCaret(Position to, bool extend) {
    caret_ = clampedTo(to);
    if (!extend) anchor_ = caret_;
    ensureCaretVisible();
    viewport()->update();
}

void ResultTextView::ensureCaretVisible() {
    QScrollBar* v = verticalScrollBar();
    if (caret_.line < v->value()) v->setValue(int(std::min<qint64>(caret_.line, INT_MAX)));
    else if (caret_.line >= v->value() + visibleLines())
        v->setValue(int(std::min<qint64>(caret_.line - visibleLines() + 1, INT_MAX)));
    const int x = xOf(shown(text_.line(caret_.line)), caret_.column) + kMargin;
    QScrollBar* h = horizontalScrollBar();
    if (x < h->value()) h->setValue(std::max(0, x - 4 * kMargin));
    else if (x > h->value() + viewport()->width() - kMargin) h->setValue(x - viewport()->width() + 4 * kMargin);
}

void ResultTextView::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::Copy)) return copy();
    if (e->matches(QKeySequence::SelectAll)) return selectAll();
    const bool extend = e->modifiers() & Qt::ShiftModifier;
    const bool word = e->modifiers() & Qt::ControlModifier;
    Position to = caret_;
    const QString line = text_.line(caret_.line);
    switch (e->key()) {
    case Qt::Key_Left:
        if (to.column > 0) {
            --to.column;
            while (word && to.column > 0 && (!isWordChar(line[to.column]) || isWordChar(line[to.column - 1])))
                --to.column;
        } else if (to.line > 0) {
            to = {to.line - 1, text_.line(to.line - 1).size()};
        }
        break;
    case Qt::Key_Right:
        if (to.column < line.size()) {
            ++to.column;
            while (word && to.column < line.size() && (isWordChar(line[to.column - 1]) || !isWordChar(line[to.column])))
                ++to.column;
        } else if (to.line + 1 < text_.lineCount()) {
            to = {to.line + 1, 0};
        }
        break;
    case Qt::Key_Up: --to.line; break;
    case Qt::Key_Down: ++to.line; break;
    case Qt::Key_PageUp:
        to.line -= visibleLines();
        verticalScrollBar()->setValue(verticalScrollBar()->value() - visibleLines());
        break;
    case Qt::Key_PageDown:
        to.line += visibleLines();
        verticalScrollBar()->setValue(verticalScrollBar()->value() + visibleLines());
        break;
    case Qt::Key_Home: to = word ? Position{} : Position{to.line, 0}; break;
    case Qt::Key_End: to = word ? text_.end() : Position{to.line, line.size()}; break;
    default: QAbstractScrollArea::keyPressEvent(e); return;
    }
    moveCaret(to, extend);
}

void ResultTextView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(e);
    setFocus(Qt::MouseFocusReason);
    moveCaret(positionAt(e->position().toPoint()), e->modifiers() & Qt::ShiftModifier);
    dragging_ = true;
}

void ResultTextView::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) return;
    dragPoint_ = e->position().toPoint();
    moveCaret(positionAt(dragPoint_), true);
    if (viewport()->rect().contains(dragPoint_)) dragTimer_->stop();
    else if (!dragTimer_->isActive()) dragTimer_->start();
}

void ResultTextView::dragScroll() {
    if (!dragging_) return dragTimer_->stop();
    moveCaret(positionAt(dragPoint_), true);
}

void ResultTextView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        dragging_ = false;
        dragTimer_->stop();
        // the selection goes to the X11 selection, as in other text panes
        if (hasSelectedText() && std::abs(caret_.line - anchor_.line) < kSelectionLines &&
            QApplication::clipboard()->supportsSelection())
            QApplication::clipboard()->setText(selectedText(), QClipboard::Selection);
    }
    QAbstractScrollArea::mouseReleaseEvent(e);
}

void ResultTextView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const Position at = positionAt(e->position().toPoint());
    const QString line = text_.line(at.line);
    qsizetype b = at.column, en = at.column;
    while (b > 0 && isWordChar(line[b - 1])) --b;
    while (en < line.size() && isWordChar(line[en])) ++en;
    anchor_ = {at.line, b};
    caret_ = {at.line, en};
    viewport()->update();
}
