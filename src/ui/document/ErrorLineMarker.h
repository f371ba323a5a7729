#pragma once
// Shows where a run's error is in the script: a symbol in the editor's margin
// on the error's line, and a double-click on the error in the message pane
// takes the caret there (at the error's column where the server named one)
// and the focus to the editor.
//
// The mark moves with its line while the user edits above it (the jump
// follows it); it goes at the next run, and when the marked line itself is
// edited. A jump after that goes to where the line was last.

#include "editor/EditorFeature.h"
#include "script/StatementSplitter.h"

#include <optional>

class ErrorLineMarker : public EditorFeature {
    Q_OBJECT
public:
    static constexpr int kMarker = 2; // the margin symbol's marker number (1 is the bookmark)

    ErrorLineMarker(SqlEditor* editor, SqlEditor* messagePane);

    // Marks the error at (the editor's line and column); a point past the
    // script's end marks its last line.
    void mark(script::TextPoint at);
    // Takes the mark away and forgets the error.
    void clear();
    // The caret to the error, the focus to the editor; false when there is none.
    bool goToError();
    // The line the mark is on now; nullopt when there is none.
    std::optional<int> markedLine() const;

private:
    void textModified(int position, int modificationType);
    void messageDoubleClicked(int line);
    // Takes the mark away once the current text change has been reported.
    void removeAfterChange();

    SqlEditor* editor_;
    SqlEditor* messages_;
    int handle_ = -1;                          // the marker's handle while it shows
    std::optional<script::TextPoint> error_; // its line as last seen
    quint64 generation_ = 0;                    // counts marks and removals, so a late removal spares a new mark
};
