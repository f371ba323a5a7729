#pragma once
// sqlqe-run as a user calls it, for tests that define SQLQE_RUN_PATH: the
// arguments, the script on standard input, and what came back.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#ifndef SQLQE_RUN_PATH
#error "SQLQE_RUN_PATH must name the sqlqe-run executable"
#endif

struct RunnerOutcome {
    QByteArray out; // standard output, as bytes
    QString err;
    int code = -1;
};

// Runs sqlqe-run with a fresh home, args and "-" (the script from standard
// input); env: the program's environment (HOME for ~/.pgpass, ~/.my.cnf).
inline RunnerOutcome runRunner(const QStringList& args, const QByteArray& script,
                               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QTemporaryDir home;
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SQLQE_RUN_PATH),
            QStringList{QStringLiteral("--home"), home.path()} + args + QStringList{"-"});
    p.write(script);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()), p.exitCode()};
}
