#pragma once
// The INI format of config.ini: "[section]" lines open a section,
// "key=value" lines hold values. Section and key names match without regard
// to case, values are trimmed, and a key with an empty value reads like a
// missing one. Writing replaces one value in place and keeps every other
// line, comment and the order of the file; the file is replaced atomically
// and keeps its line breaks (LF or CR LF).
//
// This is the file format only; which keys exist and what they mean is
// Settings' business.

#include "base/Result.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace settings {

struct IniEntry {
    QString section;
    QString key;
    QString value;
};

// The lines of a settings file, for reading and patching in memory.
class IniText {
public:
    static IniText fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    // The trimmed value of the first matching key; nullopt when the key is
    // missing or its value is empty.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Every non-empty value, keyed by lookupKey(section, key); the first
    // occurrence of a key wins, as in value().
    QHash<QString, QString> values() const;
    // Replaces the key's value in place, or adds the key at the end of its
    // section, or adds the section at the end of the file.
    void setValue(const QString& section, const QString& key, const QString& value);

    static QString lookupKey(const QString& section, const QString& key);

private:
    QStringList lines_;
    QString newline_ = QStringLiteral("\n");
    bool endsWithNewline_ = true;
};

// Reads one key of a file; nullopt when the file, section or key is missing
// or the value is empty.
std::optional<QString> readKey(const QString& file, const QString& section, const QString& key);

// Writes one key, or several in one atomic replacement of the file. Values
// must be single lines. A new file is created owner-only (it may hold
// passwords); a file its user may not write is refused, not replaced.
Status writeKey(const QString& file, const QString& section, const QString& key, const QString& value);
Status writeKeys(const QString& file, const std::vector<IniEntry>& entries);

} // namespace settings
