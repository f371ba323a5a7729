#include "db/MariaOptions.h"
#include "db/OptionFiles_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace db::maria {
namespace {

constexpr int kMaxIncludeDepth = 10; // a file that includes itself ends here

QString unescaped(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar e = value.at(++i);
        switch (e.unicode()) {
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 'b':
            out += QLatin1Char('\b');
            break;
        case 's':
            out += QLatin1Char(' ');
            break;
        default:
            out += e;
            break; // "\\" and any other escaped character
        }
    }
    return out;
}

// The value after '=': quoted up to its closing quote, else up to a '#'
// comment; trimmed, escapes read.
QString valueOf(QString raw) {
    raw = raw.trimmed();
    if (!raw.isEmpty() && (raw.front() == QLatin1Char('"') || raw.front() == QLatin1Char('\''))) {
        const qsizetype close = raw.indexOf(raw.front(), 1);
        return unescaped(close > 0 ? raw.mid(1, close - 1) : raw.mid(1));
    }
    if (const qsizetype hash = raw.indexOf(QLatin1Char('#')); hash >= 0) raw = raw.left(hash).trimmed();
    return unescaped(raw);
}

struct Reader {
    const QStringList& groups;
    std::vector<OptionFileEntry> options;

    void readFile(const QString& path, int depth) {
        if (depth > kMaxIncludeDepth) return;
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return;
        bool wanted = false;
        const QString dir = QFileInfo(path).absolutePath();
        for (const QString& rawLine : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
            const QString line = rawLine.trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
                continue;
            if (line.startsWith(QLatin1String("!includedir"))) {
                includeDir(QDir(dir).absoluteFilePath(line.mid(11).trimmed()), depth);
                continue;
            }
            if (line.startsWith(QLatin1String("!include"))) {
                readFile(QDir(dir).absoluteFilePath(line.mid(8).trimmed()), depth + 1);
                continue;
            }
            if (line.startsWith(QLatin1Char('['))) {
                const qsizetype close = line.indexOf(QLatin1Char(']'));
                const QString group = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
                wanted = groups.contains(group, Qt::CaseInsensitive);
                continue;
            }
            if (!wanted) continue;
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            QString name = (eq < 0 ? line : line.left(eq)).trimmed();
            if (name.startsWith(QLatin1String("loose-"), Qt::CaseInsensitive) ||
                name.startsWith(QLatin1String("loose_"), Qt::CaseInsensitive))
                name = name.mid(6);
            options.push_back({name, eq < 0 ? QString() : valueOf(line.mid(eq + 1))});
        }
    }

    void includeDir(const QString& path, int depth) {
        const QDir d(path);
        for (const QString& name :
             d.entryList({QStringLiteral("*.cnf")}, QDir::Files | QDir::Readable, QDir::Name))
            readFile(d.absoluteFilePath(name), depth + 1);
    }
};

} // namespace

std::vector<OptionFileEntry> readOptionFiles(const QStringList& files, const QStringList& groups) {
    Reader r{groups, {}};
    for (const QString& f : files)
        r.readFile(f, 0);
    return std::move(r.options);
}

QStringList clientFiles() {
    QStringList files{QStringLiteral("/etc/my.cnf"), QStringLiteral("/etc/mysql/my.cnf")};
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty()) files << QDir(home).filePath(QStringLiteral(".my.cnf"));
    return files;
}

QStringList clientGroups() {
    return {QStringLiteral("client"), QStringLiteral("client-server"), QStringLiteral("client-mariadb"),
            QStringLiteral("mysql"), QStringLiteral("mariadb-client")};
}

std::vector<std::pair<QString, QString>> clientConnectionKeys() {
    std::vector<std::pair<QString, QString>> keys;
    for (const OptionFileEntry& o : readOptionFiles(clientFiles(), clientGroups())) {
        const auto mapped = maria::keysForClientOption(o.name, o.value);
        if (!mapped) continue;
        for (const auto& [key, value] : *mapped) {
            auto same = std::find_if(keys.begin(), keys.end(), [&](const auto& k) { return k.first == key; });
            if (same != keys.end())
                same->second = value;
            else
                keys.emplace_back(key, value);
        }
    }
    return keys;
}

} // namespace db::maria
