// What a kept connection saves on the short runs an editor is used for:
// RUNS runs of a one-row SELECT through the engine, each on a connection of
// its own (the baseline, measured in the same run) and on one session kept
// between them (a check that the server still answers, then the query).
//
//   bench_session CONNECTION_STRING [RUNS]
#include "DiscardSink.h"
#include "run/RunEngine.h"
#include "run/Session.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

// Milliseconds of `runs` runs; false when one failed.
bool timeRuns(const QString& cs, int runs, const std::shared_ptr<Session>& session, double* ms) {
    DiscardSink sink;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < runs; ++i) {
        RunRequest r;
        r.connectionString = cs;
        r.text = QStringLiteral("SELECT 1");
        r.session = session;
        RunEngine engine(r, sink);
        const RunResult result = engine.run();
        if (result.isError()) {
            std::fprintf(stderr, "run failed: %s\n", qPrintable(result.closingMessage));
            return false;
        }
    }
    *ms = double(t.nsecsElapsed()) / 1e6;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_session CONNECTION_STRING [RUNS]\n");
        return 2;
    }
    const QString cs = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    double fresh = 0, kept = 0;
    auto session = std::make_shared<Session>();
    // warm both paths once (libraries loaded, the server's caches filled)
    if (!timeRuns(cs, 3, nullptr, &fresh) || !timeRuns(cs, 3, session, &kept)) return 1;
    if (!timeRuns(cs, runs, nullptr, &fresh) || !timeRuns(cs, runs, session, &kept)) return 1;
    std::printf("%-44s %8.3f ms/run   baseline (new connection each run) %8.3f ms/run   ratio %.2fx\n",
                "short run on the kept session", kept / runs, fresh / runs, kept / fresh);
    return 0;
}
