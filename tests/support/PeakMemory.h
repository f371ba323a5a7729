#pragma once
// Processes as the kernel sees them, for tests that hold a program to a
// memory bound or check that processes ended: a child run to its end with
// the peak of its resident memory, this process's own peak and its rise,
// and whether a process is gone.

#include <QFile>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <vector>

extern char** environ;

struct MeasuredRun {
    int exitCode = -1;
    long peakKb = 0;
};

// Standard output and error go to /dev/null.
inline MeasuredRun runMeasured(const QString& program, const QStringList& arguments) {
    std::vector<QByteArray> words{program.toLocal8Bit()};
    for (const QString& a : arguments) words.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    MeasuredRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid) {
            run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            run.peakKb = usage.ru_maxrss;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// A value of this process's /proc status in kB (key such as "VmHWM:").
inline long ownStatusKb(const QByteArray& key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

// The peak of this process's resident memory so far, in kB.
inline long ownPeakKb() {
    return ownStatusKb("VmHWM:");
}

// How far this process's resident memory rose at its peak since this was
// made (the kernel's peak is restarted at the present size, so an earlier
// peak does not hide a rise).
class OwnPeakGrowth {
public:
    OwnPeakGrowth() {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly)) clear.write("5");
        startKb_ = ownStatusKb("VmRSS:");
    }
    qint64 bytes() const { return qint64(ownPeakKb() - startKb_) * 1024; }

private:
    long startKb_ = 0;
};

// Whether a process has ended (a zombie waiting for its parent counts as ended).
inline bool processEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray s = stat.readAll();
    const qsizetype close = s.lastIndexOf(')');
    return close > 0 && s.mid(close + 2, 1) == "Z";
}
