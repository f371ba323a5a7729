#pragma once
// Reads an external tool's output file into text for the results pane, a
// slice at a time from the event loop, so a file of gigabytes neither
// freezes the window nor is held whole: every slice goes through an
// OutputShaper (long lines cut) and out as text(). The file is UTF-8 unless
// its beginning reads as Latin-1.

#include "base/Result.h"
#include "external/OutputShaper.h"

#include <QFile>
#include <QObject>

#include <memory>

class QTimer;

namespace external {

class OutputFileReader : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kSliceBytes = 4 * 1024 * 1024;

    explicit OutputFileReader(QObject* parent = nullptr);

    // Starts reading path (ending a reading under way); false, with
    // the reason in error(), when it cannot be opened.
    bool start(const QString& path);
    // Holds the reading (while a question is asked) and goes on.
    void pause();
    void resume();
    // Ends the reading; nothing more is emitted.
    void cancel();
    bool isReading() const { return file_ != nullptr; }
    QString error() const { return error_; }

signals:
    void text(const QString& text);
    // The whole file was read (not after cancel()).
    void finished();

private:
    void readSlice();

    std::unique_ptr<QFile> file_;
    std::unique_ptr<OutputShaper> shaper_;
    QTimer* timer_;
    QString error_;
    bool firstSlice_ = true;
};

} // namespace external
