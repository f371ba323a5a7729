#include "document/ErrorLineMarker.h"

#include "common/Theme.h"
#include "editor/SqlEditor.h"

#include <QImage>
#include <QPainter>

namespace {

// A red disc with a white bar and dot: "error here".
QImage errorSymbol(const QColor& disc) {
    QImage image(14, 14, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(QRectF(1, 1, 12, 12));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.2, 3.5, 1.6, 4.8));
    p.drawEllipse(QRectF(6.1, 9.2, 1.8, 1.8));
    return image;
}

} // namespace

ErrorLineMarker::ErrorLineMarker(SqlEditor* editor, SqlEditor* messagePane)
    : EditorFeature(editor), editor_(editor), messages_(messagePane) {
    Theme::instance().onChange(
        this, [this] { editor_->markerDefine(errorSymbol(themeColour(Theme::Role::ErrorMark)), kMarker); });
    const int margin = SqlEditor::kSymbolMargin;
    editor_->setMarginMarkerMask(margin, editor_->marginMarkerMask(margin) | (1 << kMarker));
    connect(editor_, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int, int, int, int, int, int, int) {
                textModified(position, type);
            });
    connect(messages_, &QsciScintillaBase::SCN_DOUBLECLICK, this,
            [this](int, int line, int) { messageDoubleClicked(line); });
}

void ErrorLineMarker::mark(script::TextPoint at) {
    clear();
    ++generation_;
    at.line = std::clamp(at.line, 0, std::max(0, editor_->lines() - 1));
    error_ = at;
    handle_ = editor_->markerAdd(at.line, kMarker);
}

void ErrorLineMarker::clear() {
    // by number, not handle: the error mark is the only marker of its number
    editor_->markerDeleteAll(kMarker);
    handle_ = -1;
    error_.reset();
}

std::optional<int> ErrorLineMarker::markedLine() const {
    if (handle_ < 0) return std::nullopt;
    const int line = editor_->markerLine(handle_);
    return line >= 0 ? std::optional<int>(line) : std::nullopt;
}

bool ErrorLineMarker::goToError() {
    if (!error_) return false;
    if (const auto line = markedLine()) error_->line = *line; // the text above it may have changed
    const int line = std::clamp(error_->line, 0, std::max(0, editor_->lines() - 1));
    // a column past the line's end (the line was edited since) is its end
    QString text = editor_->text(line);
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) text.chop(1);
    const int characters = int(text.toUcs4().size());
    editor_->setCursorPosition(line, std::min(error_->column, characters));
    editor_->ensureLineVisible(line);
    editor_->setFocus();
    return true;
}

void ErrorLineMarker::textModified(int position, int modificationType) {
    if (handle_ < 0 || !(modificationType & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT)))
        return;
    const int marked = editor_->markerLine(handle_);
    if (marked < 0) { // the text went (a new file, the whole script replaced)
        handle_ = -1;
        removeAfterChange();
        return;
    }
    error_->line = marked;
    const int editedLine = int(editor_->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, position));
    if (editedLine != marked) return;
    handle_ = -1;
    removeAfterChange();
}

void ErrorLineMarker::removeAfterChange() {
    // After Scintilla has reported the change. A marker that went with the
    // text (the whole script replaced) stays painted in Scintilla's cached
    // margin: changing the margin's width makes it draw the margin anew. A
    // mark set again meanwhile is kept.
    const quint64 generation = ++generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation != generation_ || handle_ >= 0) return;
            editor_->markerDeleteAll(kMarker);
            const int margin = SqlEditor::kSymbolMargin;
            const int width = editor_->marginWidth(margin);
            editor_->setMarginWidth(margin, width + 1);
            editor_->setMarginWidth(margin, width);
        },
        Qt::QueuedConnection);
}

void ErrorLineMarker::messageDoubleClicked(int line) {
    // the error message is the pane's last block, from its "Error: #" line on
    int first = -1;
    for (int l = messages_->lines() - 1; l >= 0 && first < 0; --l)
        if (messages_->text(l).startsWith(QLatin1String("Error:"), Qt::CaseInsensitive)) first = l;
    if (first >= 0 && line >= first) goToError();
}
