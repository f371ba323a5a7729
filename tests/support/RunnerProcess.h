#pragma once
// sqlqe-run started as a user starts it, for the tests that check what it
// prints and how it ends. The including target defines SQLQE_RUN_PATH.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#ifndef SQLQE_RUN_PATH
#error "SQLQE_RUN_PATH must name the sqlqe-run executable"
#endif

struct RunnerOutcome {
    QString out, err;
    int code = -1;
};

// Runs sqlqe-run with a throwaway home, args, and the script on standard
// input; env: the program's environment (HOME for ~/.pgpass, ~/.my.cnf).
inline RunnerOutcome runRunner(const QStringList& args, const QByteArray& script,
                               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QTemporaryDir home;
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SQLQE_RUN_PATH),
            QStringList{QStringLiteral("--home"), home.path()} + args + QStringList{"-"});
    p.write(script);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError()),
            p.exitCode()};
}
