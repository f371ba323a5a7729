#pragma once
// Reading and writing script files. Files are read as UTF-8 (a byte-order
// mark is dropped and remembered); a file that is not valid UTF-8 is read as
// Latin-1 rather than mangled; a file with NUL bytes is refused as binary.
// Text is written back as UTF-8 with the line breaks it holds, atomically:
// a failed save leaves the old file as it was.

#include "base/Result.h"

#include <QString>

// A script as read from its file, with what is needed to write it back alike.
struct ScriptContent {
    QString text;
    bool lineFeedsOnly = false; // the file uses LF breaks (else CR LF)
    bool hadByteOrderMark = false;
    bool wasLatin1 = false;
};

// Files larger than this are opened only after the user agreed.
inline constexpr qint64 kLargeScriptBytes = 50 * 1024 * 1024;

Result<ScriptContent> readScriptFile(const QString& path);
// The lines of a file for appending, as the text reads them: CR LF, LF or
// CR end a line; a final line break does not start another line.
QStringList splitScriptLines(const QString& text);

Status writeScriptFile(const QString& path, const QString& text, bool byteOrderMark = false);
