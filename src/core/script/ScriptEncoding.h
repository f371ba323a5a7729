#pragma once
// How a script file's bytes become text and back, so that opening and saving
// an untouched file keeps its bytes:
//  - valid UTF-8 (with or without a byte-order mark) is read and written as UTF-8;
//  - a file with high bytes but no valid UTF-8 sequence is Latin-1, and is
//    written back as Latin-1;
//  - UTF-8 with a few stray bytes that are not UTF-8 keeps its UTF-8 text, and
//    each stray byte is held as the private-use character U+F780 + (byte - 0x80)
//    and written back as that same byte (never re-encoded).

#include "base/Result.h"

#include <QByteArray>
#include <QString>

enum class ScriptEncoding { Utf8, Utf8WithBom, Latin1, Utf8WithStrayBytes };

struct DecodedScript {
    QString text;
    ScriptEncoding encoding = ScriptEncoding::Utf8;
};

DecodedScript decodeScript(const QByteArray& bytes);

// The bytes of text in an encoding. Fails when Latin-1 cannot hold a
// character of the text (the message says which).
Result<QByteArray> encodeScript(const QString& text, ScriptEncoding encoding);

// The offset of the first byte that is not part of valid UTF-8 (a
// byte-order mark counts as valid), -1 when there is none.
qsizetype firstNonUtf8Byte(const QByteArray& bytes);

// A short name for messages: "UTF-8", "Latin-1", ...
QString encodingName(ScriptEncoding encoding);
