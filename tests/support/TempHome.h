#pragma once
// A throwaway application home for one test: created empty, made current,
// removed afterwards.

#include "settings/AppPaths.h"

#include <QString>
#include <QTemporaryDir>

class TempHome {
public:
    TempHome();
    ~TempHome();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    AppFolders previous_;
};
