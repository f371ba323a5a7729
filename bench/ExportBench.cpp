// "Save as" of a million-row grid in every export format: the time to write
// the file from the rows the grid holds, and the memory the save adds on top
// of the grid (it writes from the grid's own row blocks, so it should add
// only a buffer, never a second copy of the rows). Prints one line per
// format: "name milliseconds extra-peak-MB grid-MB".
#include "db/Connection.h"
#include "db/ProcessLocale.h"
#include "export/ExportFormat.h"
#include "export/ResultExport.h"
#include "run/ResultModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <sys/resource.h>

namespace {
double peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    db::useUtf8Ctype();
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s CONNECTION-STRING SQL OUTPUT-FOLDER [FORMAT…]\n", argv[0]);
        return 2;
    }
    ResultModel grid;
    {
        auto conn = db::Connection::open(QString::fromLocal8Bit(argv[1]));
        auto cursor = conn->execute(QString::fromLocal8Bit(argv[2]));
        grid.reset(cursor->fields());
        for (;;) {
            auto block = std::make_shared<db::RowBlock>();
            block->reset(int(cursor->fields().size()));
            if (cursor->appendRows(*block, 4096) == 0) break;
            block->shrinkToFit();
            grid.appendRows(std::move(block));
        }
    }
    QStringList wanted;
    for (int i = 4; i < argc; ++i) wanted << QString::fromLocal8Bit(argv[i]);
    for (const exports::FormatInfo& f : exports::formats()) {
        if (!wanted.isEmpty() && !wanted.contains(f.name)) continue;
        const QString path = QString::fromLocal8Bit(argv[3]) + QStringLiteral("/bench-export.") + f.extension;
        const double before = peakMb();
        QElapsedTimer t;
        t.start();
        const Status s = exports::writeResultFile(grid, path, f.format, {});
        const qint64 ms = t.elapsed();
        if (!s) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(f.name), qPrintable(s.error()));
            return 1;
        }
        std::printf("%s %lld %.1f %.1f\n", qPrintable(f.name), ms, peakMb() - before,
                    double(grid.memoryUse()) / (1024.0 * 1024.0));
        std::fflush(stdout);
        QFile::remove(path);
    }
    return 0;
}
