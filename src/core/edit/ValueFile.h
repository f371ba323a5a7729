#pragma once
// A cell's value as bytes, from a file and to a file: a binary column takes the
// file's bytes (held as hex digits, as fetched binary values are), any other
// column its text as UTF-8. Writing goes through an atomic write, so an
// existing file is replaced whole or not at all.

#include "base/Result.h"
#include "edit/ChangeSet.h"

namespace edit {

// Files above this size are refused rather than held in memory as one cell.
inline constexpr qint64 kMaxValueFileBytes = qint64(64) << 20;

// The bytes of a binary cell's text: hex digits, as the backends show them
// with or without a "0x" or "\x" in front.
QByteArray binaryBytes(const QString& text);

Result<Value> readValueFile(const QString& path, bool binary);
Status writeValueFile(const QString& path, const Value& value, bool binary);

} // namespace edit
