#include "script/ParameterBinding.h"

#include "base/NameTable.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

namespace script {

namespace {

using db::ServerFamily;

const Named<ParameterType> kTypes[] = {
    {ParameterType::Text, "Text"},       {ParameterType::Integer, "Integer"}, {ParameterType::Decimal, "Decimal"},
    {ParameterType::Boolean, "Boolean"}, {ParameterType::Date, "Date"},       {ParameterType::Timestamp, "Timestamp"},
};

std::optional<bool> booleanOf(const QString& text) {
    const QString t = text.trimmed().toLower();
    for (const char* yes : {"true", "t", "yes", "y", "on", "1"})
        if (t == QLatin1String(yes)) return true;
    for (const char* no : {"false", "f", "no", "n", "off", "0"})
        if (t == QLatin1String(no)) return false;
    return std::nullopt;
}

std::optional<QString> timestampOf(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})(?:[ T](\\d{2}:\\d{2})(:\\d{2}(?:\\.\\d{1,6})?)?)?$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch() || !QDate::fromString(m.captured(1), Qt::ISODate).isValid()) return std::nullopt;
    const QString time = m.captured(2).isEmpty() ? QStringLiteral("00:00") : m.captured(2);
    const QString seconds = m.captured(3).isEmpty() ? QStringLiteral(":00") : m.captured(3);
    if (!QTime::fromString(time + seconds.left(3), QStringLiteral("HH:mm:ss")).isValid()) return std::nullopt;
    return m.captured(1) + QLatin1Char(' ') + time + seconds;
}

// The markers of a statement rewritten for the server: PostgreSQL and
// SQLite number each distinct name ($k, ?k); the others take one '?' and
// one value per use.
QString marker(ServerFamily server, int number) {
    switch (server) {
    case ServerFamily::PostgreSQL: return QLatin1Char('$') + QString::number(number);
    case ServerFamily::SQLite: return QLatin1Char('?') + QString::number(number);
    default: return QStringLiteral("?");
    }
}

bool numbersNames(ServerFamily server) { return server == ServerFamily::PostgreSQL || server == ServerFamily::SQLite; }

} // namespace

const std::vector<ParameterType>& parameterTypes() {
    static const std::vector<ParameterType> types = valuesOf(kTypes);
    return types;
}

QString typeName(ParameterType type) { return nameIn(kTypes, type); }

std::optional<ParameterType> typeNamed(const QString& name) {
    return valueNamed(kTypes, name);
}

Result<QVariant> boundValue(const ParameterValue& value, ServerFamily server, const QString& shown) {
    if (value.isNull) return QVariant();
    auto refuse = [&](const char* what) {
        return fail(QStringLiteral("The value of %1 is not %2: \"%3\".").arg(shown, QLatin1String(what), value.text));
    };
    const QString t = value.text.trimmed();
    switch (value.type) {
    case ParameterType::Text: return QVariant(value.text);
    case ParameterType::Integer: {
        bool ok = false;
        const qlonglong n = t.toLongLong(&ok);
        if (!ok) return refuse("a whole number");
        return QVariant(n);
    }
    case ParameterType::Decimal: {
        static const QRegularExpression re(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
        if (!re.match(t).hasMatch()) return refuse("a number");
        return QVariant(t); // as written: exact, the server reads it as its column's type
    }
    case ParameterType::Boolean: {
        const auto b = booleanOf(t);
        if (!b) return refuse("true or false");
        if (server == ServerFamily::PostgreSQL) return QVariant(*b);
        return QVariant(qlonglong(*b ? 1 : 0));
    }
    case ParameterType::Date: {
        const QDate d = QDate::fromString(t, Qt::ISODate);
        if (!d.isValid() || t.size() != 10) return refuse("a date (yyyy-mm-dd)");
        return QVariant(d.toString(Qt::ISODate));
    }
    case ParameterType::Timestamp: {
        const auto ts = timestampOf(t);
        if (!ts) return refuse("a timestamp (yyyy-mm-dd hh:mm:ss)");
        return QVariant(*ts);
    }
    }
    return QVariant(value.text);
}

qsizetype BoundStatement::scriptOffsetOf(qsizetype sentOffset) const {
    qsizetype delta = 0;
    for (const Rewrite& r : rewrites) {
        if (sentOffset < r.sentStart) break;
        if (sentOffset < r.sentEnd) return scriptOffset + r.originalStart;
        delta = r.originalEnd - r.sentEnd;
    }
    return scriptOffset + sentOffset + delta;
}

Result<std::vector<BoundStatement>> bindScript(QStringView script, const ScriptParameters& found,
                                               const ParameterValues* values, ServerFamily server) {
    std::vector<BoundStatement> out;
    out.reserve(found.statements.size());
    auto withParameters = found.withParameters.begin();
    for (size_t i = 0; i < found.statements.size(); ++i) {
        const StatementRange& range = found.statements[i];
        BoundStatement bound;
        bound.scriptOffset = range.start;
        if (withParameters == found.withParameters.end() || withParameters->statement != i) {
            bound.text = range.textIn(script).toString();
            out.push_back(std::move(bound));
            continue;
        }
        const StatementParameters& sp = *withParameters++;
        QStringList missing;
        for (const QString& shown : sp.shownNames()) {
            const auto use = std::find_if(sp.uses.begin(), sp.uses.end(), [&](const ParameterUse& u) { return u.shown == shown; });
            if (!values || !values->count(use->name)) missing << shown;
        }
        if (!missing.isEmpty()) {
            const QString list = sp.shownNames().join(QStringLiteral(", "));
            if (!values || missing.size() == sp.shownNames().size()) return fail(sp.noValuesMessage());
            return fail(QStringLiteral("Statement %1 has parameters (%2) and no value was given for %3.")
                            .arg(i + 1)
                            .arg(list, missing.join(QStringLiteral(", "))));
        }
        QStringList numbered; // distinct names, for the servers that number them
        qsizetype copied = range.start;
        for (const ParameterUse& u : sp.uses) {
            bound.text += script.mid(copied, u.start - copied);
            int number;
            if (numbersNames(server)) {
                number = int(numbered.indexOf(u.name)) + 1;
                if (number == 0) {
                    numbered << u.name;
                    number = int(numbered.size());
                }
            } else {
                number = int(bound.params.size()) + 1;
            }
            if (size_t(number) > bound.params.size()) {
                const Result<QVariant> v = boundValue(values->at(u.name), server, u.shown);
                if (!v) return fail(v.error());
                bound.params.push_back(*v);
            }
            const QString m = marker(server, number);
            const qsizetype sentStart = bound.text.size();
            bound.text += m;
            bound.rewrites.push_back({sentStart, sentStart + m.size(), u.start - range.start, u.end - range.start});
            copied = u.end;
        }
        bound.text += script.mid(copied, range.end - copied);
        out.push_back(std::move(bound));
    }
    return out;
}

} // namespace script
