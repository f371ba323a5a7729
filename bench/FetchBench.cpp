// Reads every row of a query through the database layer into a null sink and
// prints the elapsed seconds, rows and bytes. Driven by bench/run, which
// times the database's own command-line client on the same data.
#include "db/Connection.h"
#include "db/ProcessLocale.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    db::useUtf8Ctype();
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CONNECTION-STRING SQL\n", argv[0]);
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        auto conn = db::Connection::open(QString::fromLocal8Bit(argv[1]));
        auto cursor = conn->execute(QString::fromLocal8Bit(argv[2]));
        db::RowBlock block;
        qint64 rows = 0;
        size_t bytes = 0;
        do {
            if (!cursor->hasRows()) continue;
            while (cursor->fetch(block, 4096)) {
                rows += block.rowCount();
                bytes += block.byteSize();
            }
        } while (cursor->nextResult());
        std::printf("%.3f %lld %zu\n", double(timer.nsecsElapsed()) / 1e9, rows, bytes);
    } catch (const db::Error& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
