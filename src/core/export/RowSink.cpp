#include "export/RowSink.h"

#include "export/TextSink.h"
#include "export/XlsxSink.h"
#include "settings/AtomicFile.h"

#include <cerrno>
#include <cstring>

namespace exports {

Result<std::unique_ptr<RowSink>> openFile(Format format, const QString& path, const ExportOptions& options) {
    if (format == Format::Xlsx) return XlsxSink::open(path, options);
    auto file = std::make_shared<settings::AtomicStreamFile>();
    if (Status s = file->open(path, settings::kShared); !s) return fail(s.error());
    std::unique_ptr<RowSink> sink = std::make_unique<TextSink>(
        makeTextFormat(format, options), [file](const QByteArray& bytes) { return file->write(bytes); },
        [file] { return file->commit(); });
    return sink;
}

std::unique_ptr<RowSink> openStream(Format format, std::FILE* stream, const ExportOptions& options) {
    auto textFormat = makeTextFormat(format, options);
    if (!textFormat) return nullptr;
    auto failed = [] { return fail(QString::fromLocal8Bit(std::strerror(errno ? errno : EIO))); };
    return std::make_unique<TextSink>(
        std::move(textFormat),
        [stream, failed](const QByteArray& bytes) -> Status {
            if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) != size_t(bytes.size()) ||
                std::fflush(stream) != 0)
                return failed();
            return {};
        },
        [stream, failed]() -> Status { return std::fflush(stream) == 0 ? Status() : failed(); });
}

} // namespace exports
