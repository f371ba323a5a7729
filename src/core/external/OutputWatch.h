#pragma once
// Watches the folder of an external tool's output file and reloads that file
// into the text result pane when the tool writes it: at most twice, then the
// watch ends. A text change in the editor ends it early. Never blocks. The
// file to read is the one the tool's command names (ToolCommand).

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

class OutputWatch : public QObject {
    Q_OBJECT
public:
    explicit OutputWatch(QObject* parent = nullptr);

    // Starts watching folder; outputFile is read on each change.
    void start(const QString& folder, const QString& outputFile);
    void stop();
    bool isActive() const;
    int reloads() const { return reloads_; }

signals:
    // The output file was written: file is to be read into the text result
    // pane (the reader takes it a slice at a time; nothing is read here).
    void reloaded(const QString& file);

private:
    void onFolderChanged();
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* settle_;
    QString folder_;
    QString file_;
    int reloads_ = 0;
};
