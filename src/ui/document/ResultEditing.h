#pragma once
// Editing of a document's result grids, as a part of the document: after a
// grid run it reads, on the document's session, what each result set can
// be saved to, attaches a GridEditor and its EditBar to each grid, and
// carries out "Save changes": the review of the statements, then the save
// in one transaction on the session (joining the user's open transaction
// when there is one), then the rows as saved, or the failure with the row
// it names and the edits kept.
//
// Before a run replaces the grids, and before the window closes, unsaved
// edits are asked about: Save / Discard / Cancel.
//
// The session is used only between runs; while a catalogue read or a save
// is on it the window repaints but takes no input, so no run can start.

#include "document/DocumentCommand.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class DocumentContext;
class DocumentSession;
class GridEditor;
class ResultPanes;
class RunController;
struct RunRequest;
struct RunResult;

class ResultEditing : public QObject {
    Q_OBJECT
public:
    ResultEditing(RunController* runs, DocumentSession* session, ResultPanes* panes, DocumentContext& context,
                  QWidget* window);
    ~ResultEditing() override;

    // The editor of a result set's grid (null before the first grid run).
    GridEditor* editor(int set) const;
    bool hasChanges() const;
    // Asks about unsaved edits before they would be lost (a new run, the
    // window closing): Save saves them (true when that worked), Discard
    // drops them, Cancel (false) keeps everything as it is.
    bool confirmLeave();
    // "Save changes" of a grid: the review, then the save.
    void save(GridEditor* editor);
    // A grid command of the pop-up menu on the grid of result set `set`
    // (nothing when that grid cannot be edited).
    void execute(DocumentCommand command, int set);

signals:
    // A line for the message pane and the main status ("2 statement(s) saved.").
    void message(const QString& text);

private:
    void runStarted();
    void runFinished(const RunRequest& request, const RunResult& result);
    GridEditor* attach(int set);
    // Runs the save on the session and applies its outcome; true when saved.
    bool runSave(GridEditor* editor);
    // Runs work on the session's connection off the UI thread and waits for
    // it without taking input.
    template <typename T> T onSession(std::function<T()> work);

    RunController* runs_;
    DocumentSession* session_;
    ResultPanes* panes_;
    DocumentContext& context_;
    QWidget* window_;
    QString connectionString_; // the last grid run's, on which its session is kept
    std::vector<QPointer<GridEditor>> editors_;
};
