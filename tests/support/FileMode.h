#pragma once
// The permission bits of a file as the system stores them (e.g. 0600).

#include <QFile>
#include <QString>

#include <sys/stat.h>

inline unsigned fileMode(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return 0;
    return unsigned(st.st_mode & 07777);
}
