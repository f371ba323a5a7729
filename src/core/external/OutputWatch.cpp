#include "external/OutputWatch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

OutputWatch::OutputWatch(QObject* parent) : QObject(parent), settle_(new QTimer(this)) {
    // A tool writes its file in several steps: read once the folder is quiet.
    settle_->setSingleShot(true);
    settle_->setInterval(100);
    connect(settle_, &QTimer::timeout, this, [this] {
        ++reloads_;
        emit reloaded(file_);
        if (reloads_ >= 2) stop();
    });
}

void OutputWatch::start(const QString& folder, const QString& outputFile) {
    stop();
    folder_ = folder;
    file_ = outputFile;
    reloads_ = 0;
    watcher_ = new QFileSystemWatcher(this);
    watcher_->addPath(folder);
    // The folder reports new and renamed files, the file itself a rewrite in place.
    if (!file_.isEmpty() && QFileInfo::exists(file_)) watcher_->addPath(file_);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &OutputWatch::onFolderChanged);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &OutputWatch::onFolderChanged);
}

void OutputWatch::onFolderChanged() {
    if (!watcher_) return;
    if (!file_.isEmpty() && QFileInfo::exists(file_) && !watcher_->files().contains(file_)) watcher_->addPath(file_);
    settle_->start();
}

void OutputWatch::stop() {
    settle_->stop();
    delete watcher_;
    watcher_ = nullptr;
}

bool OutputWatch::isActive() const { return watcher_ != nullptr; }
