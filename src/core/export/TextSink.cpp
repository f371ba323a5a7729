#include "export/TextSink.h"

namespace exports {

namespace {
constexpr qsizetype kChunk = qsizetype(1) << 20;
} // namespace

TextSink::TextSink(std::unique_ptr<TextFormat> format, Write write, Close close)
    : format_(std::move(format)), write_(std::move(write)), close_(std::move(close)) {}

Status TextSink::writeOut(bool always) {
    if (!failure_) return failure_;
    if (buffer_.isEmpty() || (!always && buffer_.size() < kChunk)) return {};
    failure_ = write_(buffer_);
    buffer_.resize(0); // keeps the capacity for the next chunk
    return failure_;
}

Status TextSink::beginSet(const std::vector<db::Field>& fields) {
    if (!failure_ || finished_) return failure_;
    if (inSet_) format_->endSet(buffer_);
    format_->beginSet(buffer_, fields);
    inSet_ = true;
    return writeOut(false);
}

Status TextSink::writeRows(const db::RowBlock& rows) {
    if (!failure_ || !inSet_) return failure_;
    format_->appendRows(buffer_, rows);
    return writeOut(false);
}

Status TextSink::flush() {
    return writeOut(true);
}

Status TextSink::finish() {
    if (finished_ || !failure_) return failure_;
    finished_ = true;
    if (inSet_) format_->endSet(buffer_);
    format_->endDocument(buffer_);
    if (Status s = writeOut(true); !s) return s;
    buffer_.clear();
    failure_ = close_();
    return failure_;
}

} // namespace exports
