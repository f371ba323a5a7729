#pragma once
// The settings file config.ini of the application home: sections of
// "key=value" lines. Section and key names match without regard to case,
// values are trimmed, and a key with an empty value reads like a missing one.
// Writing replaces one value in place and keeps every other line, comment and
// the order of the file; the file is replaced atomically.
//
// Callers read into an empty value, so "missing" comes back as "".

#include <QString>

namespace ini {

// config.ini in the application home.
QString fileName();

bool readKey(const QString& section, const QString& key, QString& value);
bool writeKey(const QString& section, const QString& key, const QString& value);

// The same on a given file.
bool readKeyFrom(const QString& file, const QString& section, const QString& key, QString& value);
bool writeKeyTo(const QString& file, const QString& section, const QString& key, const QString& value);

// The text of a key, empty when missing; a flag is on exactly when it reads "1".
QString value(const QString& section, const QString& key);
bool flag(const QString& section, const QString& key);

// The failure of the last read or write on this thread.
QString lastErrorText();
int lastErrorCode();

} // namespace ini
