#pragma once
// The text results pane as the place an external tool's output goes: what a
// running tool prints, and its output file, read a slice at a time. Text
// comes in shaped (LF as CR LF, a line longer than 64 KB cut with a note),
// so a gigabyte on one line is never laid out whole. When the text held
// passes the memory limit (resultmemorylimit) the reading pauses and the
// user is asked, as for the rows of a run, whether to keep reading, stop
// and drop the output, or stop and keep what is shown.
//
// One is attached to a pane on first use (of()), so whoever shows a tool's
// output there (the run, the output watch, the Query Check) shares it, and
// a new showing ends the one before.

#include <QObject>

#include <memory>

class ResultTextView;

namespace external {
class OutputFileReader;
class OutputShaper;
} // namespace external

class ToolOutputView : public QObject {
    Q_OBJECT
public:
    static ToolOutputView* of(ResultTextView* pane);
    ~ToolOutputView() override;

    // From now on the pane shows what program prints (the pane is emptied).
    void beginPrinted(const QString& program);
    void appendPrinted(const QByteArray& bytes);
    // The tool ended: the note of a line it left cut.
    void endPrinted();
    // Shows the file instead of what the pane holds, read in the background;
    // false, with the pane untouched and the reason in error, when it
    // cannot be read.
    bool showFile(const QString& path, const QString& program, QString* error = nullptr);
    bool isReading() const;

signals:
    // The user chose to stop at the memory question: the tool is to end.
    void stopWanted();
    // The output waits for an answer: hold the tool meanwhile (and let it go on).
    void holdWanted(bool hold);

private:
    explicit ToolOutputView(ResultTextView* pane);
    void show(const QString& text);
    // After text came in: asks the memory question once the limit is passed.
    void checkMemory();
    void startShowing(const QString& program);

    ResultTextView* pane_;
    external::OutputFileReader* reader_;
    std::unique_ptr<external::OutputShaper> printed_;
    QString program_;
    QByteArray heldBack_; // printed while the question was open
    qint64 characters_ = 0;
    qint64 limit_ = 0;
    qint64 nextCheck_ = 0;
    bool asking_ = false;
    bool closed_ = false; // stopped at the question: nothing more is shown
};
