#pragma once
// Reading and writing script files. The bytes are decoded as ScriptEncoding
// describes and written back in the encoding they were read in, with the line
// breaks the text holds, so an untouched file keeps its bytes. A file with
// NUL bytes is refused as binary. Writes are atomic: a failed save leaves the
// old file as it was.

#include "base/Result.h"
#include "script/ScriptEncoding.h"

#include <QString>

// A script as read from its file, with what is needed to write it back alike.
struct ScriptContent {
    QString text;
    bool lineFeedsOnly = false; // the file uses LF breaks (else CR LF)
    ScriptEncoding encoding = ScriptEncoding::Utf8;
};

// Files larger than this are opened only after the user agreed.
inline constexpr qint64 kLargeScriptBytes = 50 * 1024 * 1024;

Result<ScriptContent> readScriptFile(const QString& path);
// The lines of a file for appending, as the text reads them: CR LF, LF or
// CR end a line; a final line break does not start another line.
QStringList splitScriptLines(const QString& text);

Status writeScriptFile(const QString& path, const QString& text, ScriptEncoding encoding = ScriptEncoding::Utf8);
