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
    QString outText() const { return QString::fromUtf8(out); }
};

// Runs program with args, input on its standard input (then closed).
inline RunnerOutcome runProgram(const QString& program, const QStringList& args, const QByteArray& input = {},
                                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()), p.exitCode()};
}

// Runs sqlqe-run with a fresh home and args as they are.
inline RunnerOutcome
runRunnerArgs(const QStringList& args, const QByteArray& input = {},
              const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QTemporaryDir home;
    return runProgram(QStringLiteral(SQLQE_RUN_PATH),
                      QStringList{QStringLiteral("--home"), home.path()} + args, input, env);
}

// Runs sqlqe-run with a fresh home, args and "-" (the script from standard
// input); env: the program's environment (HOME for ~/.pgpass, ~/.my.cnf).
inline RunnerOutcome runRunner(const QStringList& args, const QByteArray& script,
                               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    return runRunnerArgs(args + QStringList{QStringLiteral("-")}, script, env);
}
