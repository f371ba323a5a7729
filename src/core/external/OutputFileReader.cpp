#include "external/OutputFileReader.h"

#include "script/ScriptEncoding.h"

#include <QTimer>

namespace external {

namespace {
// Latin-1 when the file's beginning has high bytes and no UTF-8 sequence; a
// sequence cut by the end of the sample does not count against UTF-8.
bool looksLatin1(QByteArray sample) {
    for (int i = 0; i < 3 && !sample.isEmpty() && uchar(sample.back()) >= 0x80; ++i) sample.chop(1);
    return decodeScript(sample).encoding == ScriptEncoding::Latin1;
}
} // namespace

OutputFileReader::OutputFileReader(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &OutputFileReader::readSlice);
}

bool OutputFileReader::start(const QString& path) {
    cancel();
    error_.clear();
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("%1 cannot be read: %2").arg(path, file->errorString());
        return false;
    }
    file_ = std::move(file);
    firstSlice_ = true;
    timer_->start();
    return true;
}

void OutputFileReader::pause() { timer_->stop(); }

void OutputFileReader::resume() {
    if (file_) timer_->start();
}

void OutputFileReader::cancel() {
    timer_->stop();
    file_.reset();
    shaper_.reset();
}

void OutputFileReader::readSlice() {
    if (!file_) return timer_->stop();
    const QByteArray bytes = file_->read(kSliceBytes);
    if (firstSlice_) {
        shaper_ = std::make_unique<OutputShaper>(OutputShaper::kPaneLineLimit, OutputShaper::kNoLimit,
                                                 looksLatin1(bytes.left(1024 * 1024)));
        firstSlice_ = false;
    }
    const QString piece = shaper_->feed(bytes);
    if (!piece.isEmpty()) emit text(piece);
    if (!file_ || bytes.size() == kSliceBytes) return; // cancelled meanwhile, or more to read
    const QString last = shaper_ ? shaper_->finish() : QString();
    cancel();
    if (!last.isEmpty()) emit text(last);
    emit finished();
}

} // namespace external
