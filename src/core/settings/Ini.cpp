#include "settings/Ini_p.h"

#include "settings/AtomicFile.h"

#include <QFile>

#include <unistd.h>

namespace settings {
namespace {

// "[name]" -> name; empty when the line is not a section header.
QString sectionName(const QString& trimmedLine) {
    if (trimmedLine.size() >= 2 && trimmedLine.startsWith(QLatin1Char('[')) && trimmedLine.contains(QLatin1Char(']')))
        return trimmedLine.mid(1, trimmedLine.indexOf(QLatin1Char(']')) - 1).trimmed();
    return {};
}

bool isComment(const QString& trimmedLine) {
    return trimmedLine.startsWith(QLatin1Char(';')) || trimmedLine.startsWith(QLatin1Char('#'));
}

// The key of a "key=value" line (trimmed), empty when the line has no '='.
QString keyOf(const QString& trimmedLine, qsizetype* eqAt = nullptr) {
    const qsizetype eq = trimmedLine.indexOf(QLatin1Char('='));
    if (eqAt) *eqAt = eq;
    return eq < 0 ? QString() : trimmedLine.left(eq).trimmed();
}

} // namespace

IniText IniText::fromBytes(const QByteArray& bytes) {
    IniText t;
    QString text = QString::fromUtf8(bytes);
    if (text.contains(QLatin1String("\r\n"))) t.newline_ = QStringLiteral("\r\n");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.endsWithNewline_ = text.isEmpty() || text.endsWith(QLatin1Char('\n'));
    t.lines_ = text.split(QLatin1Char('\n'));
    if (t.endsWithNewline_) t.lines_.removeLast();
    return t;
}

QByteArray IniText::toBytes() const {
    QString text = lines_.join(newline_);
    if (endsWithNewline_ && !lines_.isEmpty()) text += newline_;
    return text.toUtf8();
}

QString IniText::lookupKey(const QString& section, const QString& key) {
    return section.toLower() + QLatin1Char('\n') + key.toLower();
}

QHash<QString, QString> IniText::values() const {
    QHash<QString, QString> out;
    QString section;
    for (const QString& raw : lines_) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || isComment(line)) continue;
        if (line.startsWith(QLatin1Char('['))) {
            section = sectionName(line);
            continue;
        }
        qsizetype eq = -1;
        const QString key = keyOf(line, &eq);
        if (key.isEmpty()) continue;
        const QString lookup = lookupKey(section, key);
        if (out.contains(lookup)) continue;
        const QString v = line.mid(eq + 1).trimmed();
        if (!v.isEmpty()) out.insert(lookup, v);
    }
    return out;
}

std::optional<QString> IniText::value(const QString& section, const QString& key) const {
    bool inSection = false;
    for (const QString& raw : lines_) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || isComment(line)) continue;
        if (line.startsWith(QLatin1Char('['))) {
            inSection = sectionName(line).compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) continue;
        qsizetype eq = -1;
        if (keyOf(line, &eq).compare(key, Qt::CaseInsensitive) != 0) continue;
        const QString v = line.mid(eq + 1).trimmed();
        if (v.isEmpty()) return std::nullopt;
        return v;
    }
    return std::nullopt;
}

void IniText::setValue(const QString& section, const QString& key, const QString& value) {
    const QString entry = key + QLatin1Char('=') + value;
    int sectionStart = -1;  // index of the header line
    int lastInSection = -1; // last non-blank line of the section
    for (int i = 0; i < lines_.size(); ++i) {
        const QString line = lines_[i].trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            if (sectionStart >= 0) break; // the section ended without the key
            if (sectionName(line).compare(section, Qt::CaseInsensitive) == 0) sectionStart = lastInSection = i;
            continue;
        }
        if (sectionStart < 0 || line.isEmpty()) continue;
        lastInSection = i;
        if (isComment(line)) continue;
        if (keyOf(line).compare(key, Qt::CaseInsensitive) == 0) {
            lines_[i] = entry;
            return;
        }
    }
    if (sectionStart >= 0) {
        lines_.insert(lastInSection + 1, entry);
    } else {
        if (!lines_.isEmpty() && !lines_.last().trimmed().isEmpty()) lines_ << QString();
        lines_ << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    }
    endsWithNewline_ = true;
}

std::optional<QString> readKey(const QString& file, const QString& section, const QString& key) {
    if (file.isEmpty()) return std::nullopt;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return IniText::fromBytes(f.readAll()).value(section, key);
}

Status writeKey(const QString& file, const QString& section, const QString& key, const QString& value) {
    return writeKeys(file, {{section, key, value}});
}

Status writeKeys(const QString& file, const std::vector<IniEntry>& entries) {
    if (file.isEmpty()) return fail(QStringLiteral("No filename specified"));
    for (const IniEntry& e : entries)
        if (e.value.contains(QLatin1Char('\n')) || e.value.contains(QLatin1Char('\r')))
            return fail(QStringLiteral("The setting %1 must be a single line of text.").arg(e.key));
    IniText text;
    QFile f(file);
    if (f.exists()) {
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("The settings file %1 could not be read: %2").arg(file, f.errorString()));
        text = IniText::fromBytes(f.readAll());
        f.close();
        // The replacement goes through the folder, which would get round a
        // file the user made read-only on purpose.
        if (::access(QFile::encodeName(file).constData(), W_OK) != 0)
            return fail(QStringLiteral("The settings file %1 is read-only.").arg(file));
    }
    for (const IniEntry& e : entries) text.setValue(e.section, e.key, e.value);
    return settings::writeFileAtomically(file, text.toBytes(), settings::kPrivate);
}

} // namespace settings
