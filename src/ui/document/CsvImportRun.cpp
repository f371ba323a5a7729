#include "document/CsvImportRun.h"

#include <QCoreApplication>
#include <QPointer>

#include <thread>

CsvImportRun::CsvImportRun(QObject* parent) : QObject(parent) {}

CsvImportRun::~CsvImportRun() {
    // the thread keeps the import alive; stopped, it ends without us
    if (running_ && import_) import_->stop();
}

void CsvImportRun::start(csv::ImportRequest request) {
    if (running_) return;
    running_ = true;
    import_ = std::make_shared<csv::CsvImport>(std::move(request));
    QPointer<CsvImportRun> self(this);
    std::thread([self, import = import_] {
        const csv::ImportResult result = import->run([self](const csv::ImportProgress& p) {
            const int percent = p.totalBytes > 0 ? int(p.bytesRead * 100 / p.totalBytes) : 0;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, rows = p.rows, percent] {
                    if (self) emit self->progress(rows, percent);
                },
                Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, result] {
                if (!self) return;
                self->running_ = false;
                emit self->finished(result);
            },
            Qt::QueuedConnection);
    }).detach();
}

void CsvImportRun::stop() {
    if (running_ && import_) import_->stop();
}
