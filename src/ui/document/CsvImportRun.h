#pragma once
// One CSV import (csv::CsvImport) on a thread of its own for the import
// dialog: progress comes to the UI thread between batches, stop() cancels
// it (nothing of it stays), and finished() brings the result.

#include "import/CsvImport.h"

#include <QObject>

#include <memory>

class CsvImportRun : public QObject {
    Q_OBJECT
public:
    explicit CsvImportRun(QObject* parent = nullptr);
    ~CsvImportRun() override;

    void start(csv::ImportRequest request);
    void stop();
    bool isRunning() const { return running_; }

signals:
    void progress(qint64 rows, int percent);
    void finished(const csv::ImportResult& result);

private:
    std::shared_ptr<csv::CsvImport> import_;
    bool running_ = false;
};
