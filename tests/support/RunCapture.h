#pragma once
// A run sink that keeps what each pane of the document would show: the text
// of each pane (rows of text mode laid out as the pane lays them out), the
// grid's rows, and how often the extended pane was cleared.

#include "run/RunEngine.h"

#include <QString>
#include <memory>
#include <vector>

struct RunCapture : RunSink {
    QString results, extended, messages, notices;
    std::vector<db::Field> gridFields;
    std::vector<std::shared_ptr<db::RowBlock>> grid;
    int extendedClears = 0;

    void gridStarted(const std::vector<db::Field>& f) override { gridFields = f; }
    void gridRows(std::shared_ptr<db::RowBlock> r) override { grid.push_back(std::move(r)); }
    void appendText(Pane p, const QString& t) override { pane(p) += t; }
    void clearPane(Pane p) override {
        pane(p).clear();
        if (p == Pane::Extended) ++extendedClears;
    }
    void progress(qint64) override {}

    QString& pane(Pane p) {
        switch (p) {
        case Pane::Results:
            return results;
        case Pane::Extended:
            return extended;
        case Pane::Messages:
            return messages;
        case Pane::Notices:
            return notices;
        }
        return results;
    }
    // The grid's first cell, or empty when the grid has no row.
    QString firstCell() const {
        return grid.empty() || grid[0]->rowCount() == 0 ? QString() : grid[0]->string(0, 0);
    }
    qint64 gridRowCount() const {
        qint64 n = 0;
        for (const auto& b : grid)
            n += b->rowCount();
        return n;
    }
};

// A request to run text on cs.
inline RunRequest runRequest(const QString& cs, const QString& text, bool resultsInText = true,
                             std::optional<qint64> rowLimit = std::nullopt,
                             std::shared_ptr<Session> session = nullptr) {
    RunRequest r;
    r.connectionString = cs;
    r.text = text;
    r.resultsInText = resultsInText;
    r.rowLimit = rowLimit;
    r.session = std::move(session);
    return r;
}

// Runs text on cs (or on session when given) and returns the outcome.
inline RunResult runScript(RunCapture& sink, const QString& cs, const QString& text,
                           bool resultsInText = true, std::optional<qint64> rowLimit = std::nullopt,
                           std::shared_ptr<Session> session = nullptr) {
    return RunEngine(runRequest(cs, text, resultsInText, rowLimit, std::move(session)), sink).run();
}
