#include "settings/Ini.h"

#include "settings/AppHome.h"
#include "settings/AtomicFile.h"

#include <QFile>
#include <QStringList>

namespace ini {
namespace {

thread_local QString tlErrorText;
thread_local int tlErrorCode = 0;

bool failWith(int code, const QString& text) {
    tlErrorCode = code;
    tlErrorText = text;
    return false;
}

// "[name]" -> name; empty when the line is not a section header.
QString sectionName(const QString& trimmedLine) {
    if (trimmedLine.size() >= 2 && trimmedLine.startsWith(QLatin1Char('[')) && trimmedLine.contains(QLatin1Char(']')))
        return trimmedLine.mid(1, trimmedLine.indexOf(QLatin1Char(']')) - 1).trimmed();
    return {};
}

bool isComment(const QString& trimmedLine) {
    return trimmedLine.startsWith(QLatin1Char(';')) || trimmedLine.startsWith(QLatin1Char('#'));
}

// The file as lines (without their breaks) and the break it uses.
struct Lines {
    QStringList lines;
    QString newline = QStringLiteral("\n");
    bool endsWithNewline = true;
};

Lines split(const QByteArray& bytes) {
    Lines l;
    QString text = QString::fromUtf8(bytes);
    if (text.contains(QLatin1String("\r\n"))) l.newline = QStringLiteral("\r\n");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    l.endsWithNewline = text.isEmpty() || text.endsWith(QLatin1Char('\n'));
    l.lines = text.split(QLatin1Char('\n'));
    if (l.endsWithNewline) l.lines.removeLast();
    return l;
}

} // namespace

QString fileName() { return AppHome::file(QStringLiteral("config.ini")); }

bool readKeyFrom(const QString& file, const QString& section, const QString& key, QString& value) {
    if (file.isEmpty()) return failWith(1, QStringLiteral("No filename specified"));
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return failWith(2, f.errorString());
    const Lines l = split(f.readAll());
    bool inSection = false;
    for (const QString& raw : l.lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || isComment(line)) continue;
        if (line.startsWith(QLatin1Char('['))) {
            inSection = sectionName(line).compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) continue;
        const int eq = int(line.indexOf(QLatin1Char('=')));
        if (eq < 0 || line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0) continue;
        const QString v = line.mid(eq + 1).trimmed();
        if (v.isEmpty()) return failWith(0, QStringLiteral("An unknown error has occured"));
        value = v;
        return true;
    }
    return failWith(0, QStringLiteral("An unknown error has occured"));
}

bool writeKeyTo(const QString& file, const QString& section, const QString& key, const QString& value) {
    if (file.isEmpty()) return failWith(1, QStringLiteral("No filename specified"));
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return failWith(3, QStringLiteral("A setting must be a single line of text."));
    Lines l;
    QFile f(file);
    if (f.exists()) {
        if (!f.open(QIODevice::ReadOnly)) return failWith(2, f.errorString());
        l = split(f.readAll());
        f.close();
    }
    const QString entry = key + QLatin1Char('=') + value;
    int sectionStart = -1; // index of the header line
    int lastInSection = -1; // last non-blank line of the section
    bool written = false;
    for (int i = 0; i < l.lines.size() && !written; ++i) {
        const QString line = l.lines[i].trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            if (sectionStart >= 0) break; // the section ended without the key
            if (sectionName(line).compare(section, Qt::CaseInsensitive) == 0) sectionStart = lastInSection = i;
            continue;
        }
        if (sectionStart < 0 || line.isEmpty()) continue;
        lastInSection = i;
        if (isComment(line)) continue;
        const int eq = int(line.indexOf(QLatin1Char('=')));
        if (eq >= 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            l.lines[i] = entry;
            written = true;
        }
    }
    if (!written) {
        if (sectionStart >= 0) {
            l.lines.insert(lastInSection + 1, entry);
        } else {
            if (!l.lines.isEmpty() && !l.lines.last().trimmed().isEmpty()) l.lines << QString();
            l.lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
        }
    }
    QString text = l.lines.join(l.newline);
    if (l.endsWithNewline || !written) text += l.newline;
    const auto result = fsutil::writeFileAtomically(file, text.toUtf8(), fsutil::kPrivate);
    if (!result.ok) return failWith(4, result.error);
    return true;
}

bool readKey(const QString& section, const QString& key, QString& value) {
    return readKeyFrom(fileName(), section, key, value);
}

bool writeKey(const QString& section, const QString& key, const QString& value) {
    return writeKeyTo(fileName(), section, key, value);
}

QString value(const QString& section, const QString& key) {
    QString v;
    readKey(section, key, v);
    return v;
}

bool flag(const QString& section, const QString& key) { return value(section, key) == QLatin1String("1"); }

QString lastErrorText() { return tlErrorText; }
int lastErrorCode() { return tlErrorCode; }

} // namespace ini
