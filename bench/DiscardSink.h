#pragma once
// A run sink that keeps nothing: for benchmarks that time a run, not what
// it shows.

#include "run/RunEngine.h"

struct DiscardSink : RunSink {
    void gridStarted(const std::vector<db::Field>&) override {}
    void gridRows(std::shared_ptr<db::RowBlock>) override {}
    void appendText(Pane, const QString&) override {}
    void clearPane(Pane) override {}
    void progress(qint64) override {}
};
