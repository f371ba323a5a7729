#include "document/ToolOutputView.h"

#include "document/MemoryQuestion.h"
#include "document/ResultTextView.h"
#include "external/OutputFileReader.h"
#include "external/OutputShaper.h"
#include "settings/Settings.h"

namespace {
// What a line costs the pane beyond its characters (string header, allocation).
constexpr qint64 kLineOverhead = 56;
} // namespace

ToolOutputView* ToolOutputView::of(ResultTextView* pane) {
    if (auto* view = pane->findChild<ToolOutputView*>(QString(), Qt::FindDirectChildrenOnly)) return view;
    return new ToolOutputView(pane);
}

ToolOutputView::ToolOutputView(ResultTextView* pane)
    : QObject(pane), pane_(pane), reader_(new external::OutputFileReader(this)) {
    connect(reader_, &external::OutputFileReader::text, this, &ToolOutputView::show);
}

ToolOutputView::~ToolOutputView() = default;

bool ToolOutputView::isReading() const { return reader_->isReading(); }

void ToolOutputView::startShowing(const QString& program) {
    reader_->cancel();
    printed_.reset();
    heldBack_.clear();
    program_ = program;
    pane_->clear();
    characters_ = 0;
    closed_ = false;
    limit_ = settings::current().resultMemoryLimitBytes();
    nextCheck_ = limit_;
}

void ToolOutputView::beginPrinted(const QString& program) {
    startShowing(program);
    printed_ = std::make_unique<external::OutputShaper>();
}

void ToolOutputView::appendPrinted(const QByteArray& bytes) {
    if (!printed_ || closed_) return;
    if (asking_) {
        heldBack_ += bytes; // what was on its way before the tool was held
        return;
    }
    show(printed_->feed(bytes));
}

void ToolOutputView::endPrinted() {
    if (!printed_ || closed_) return;
    show(printed_->finish());
    printed_.reset();
}

bool ToolOutputView::showFile(const QString& path, const QString& program, QString* error) {
    external::OutputFileReader probe; // opened first: a file that is not there leaves the pane alone
    if (!probe.start(path)) {
        if (error) *error = probe.error();
        return false;
    }
    probe.cancel();
    startShowing(program);
    return reader_->start(path);
}

void ToolOutputView::show(const QString& text) {
    if (text.isEmpty() || closed_) return;
    pane_->append(text);
    characters_ += text.size();
    checkMemory();
}

void ToolOutputView::checkMemory() {
    const qint64 held = 2 * characters_ + kLineOverhead * pane_->content().lineCount();
    if (asking_ || limit_ <= 0 || held < nextCheck_) return;
    asking_ = true;
    reader_->pause();
    emit holdWanted(true);
    const MemoryAnswer answer =
        document::askAboutMemory(pane_, document::toolOutputSubject(program_), held, limit_);
    asking_ = false;
    switch (answer) {
    case MemoryAnswer::KeepFetching: {
        nextCheck_ = held + limit_;
        emit holdWanted(false);
        reader_->resume();
        const QByteArray waiting = std::exchange(heldBack_, {});
        if (!waiting.isEmpty()) appendPrinted(waiting);
        return;
    }
    case MemoryAnswer::Stop:
        pane_->clear();
        [[fallthrough]];
    case MemoryAnswer::StopAndKeep:
        closed_ = true;
        heldBack_.clear();
        reader_->cancel();
        emit stopWanted();
        return;
    }
}
