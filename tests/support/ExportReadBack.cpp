#include "support/ExportReadBack.h"

#include "export/ValueText.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

#ifndef SQLQE_PYTHON
#define SQLQE_PYTHON "/usr/bin/python3"
#endif

namespace {
QString reader() {
    return QStringLiteral(SQLQE_TEST_SUPPORT_DIR "/read_export.py");
}
} // namespace

db::RowBlock blockOf(const Rows& rows) {
    db::RowBlock b;
    b.reset(rows.empty() ? 0 : int(rows.front().size()));
    for (const auto& row : rows)
        for (const Cell& c : row) {
            if (!c) {
                b.appendNull();
                continue;
            }
            const QByteArray t = c->toUtf8();
            b.appendCell(t.constData(), size_t(t.size()));
        }
    return b;
}

const QStringList& hostileTexts() {
    static const QStringList texts = {
        QStringLiteral("plain"),
        QStringLiteral("say \"hi\", it's 'quoted'"),
        QStringLiteral("a,b;c\td"),
        QStringLiteral("line\nbreak"),
        QStringLiteral("crlf\r\nline and lone\rcr"),
        QStringLiteral("emoji 🎉 and ü, ß, 漢字"),
        QStringLiteral("<b>&amp; markup</b> | pipe * star _under_ `tick` [link](x)"),
        QStringLiteral("back\\slash \\n not a break"),
        QStringLiteral("NULL"),
        QStringLiteral("  blanks around  "),
        QStringLiteral(";"),
        QString(), // the empty text (not NULL)
    };
    return texts;
}

QString longNumber() {
    QString n = QStringLiteral("-");
    for (int i = 0; i < 990; ++i)
        n += QChar(u'1' + i % 9);
    return n + QStringLiteral(".0123456789");
}

bool canReadBack() {
    QProcess p;
    p.start(QStringLiteral(SQLQE_PYTHON), {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

std::vector<ReadSet> readBack(const QString& format, const QString& path, const QString& createTable) {
    QProcess p;
    QStringList args{reader(), format, path};
    if (!createTable.isEmpty()) args << createTable;
    p.start(QStringLiteral(SQLQE_PYTHON), args);
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        ADD_FAILURE() << "read_export.py " << format.toStdString()
                      << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    const QJsonObject doc = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    std::vector<ReadSet> sets;
    for (const QJsonValue& s : doc.value(QStringLiteral("sets")).toArray()) {
        ReadSet set;
        for (const QJsonValue& h : s[QStringLiteral("header")].toArray())
            set.header << h.toString();
        for (const QJsonValue& r : s[QStringLiteral("rows")].toArray()) {
            std::vector<Cell> row;
            for (const QJsonValue& c : r.toArray())
                row.push_back(c.isNull() ? Cell() : Cell(c.toString()));
            set.rows.push_back(std::move(row));
        }
        sets.push_back(std::move(set));
    }
    return sets;
}

void expectReadsBack(const QString& format, const QString& path, const std::vector<db::Field>& fields,
                     const Rows& rows, const QString& createTable) {
    const bool keepsNull = format.startsWith(QLatin1String("json")) ||
                           format == QLatin1String("sql-insert") || format == QLatin1String("xlsx");
    const bool emptyIsNull = format == QLatin1String("xlsx");
    const bool lineBreaksAsLf = format == QLatin1String("markdown");
    const bool numbersAsDouble = format == QLatin1String("sql-insert") || format == QLatin1String("xlsx");
    const auto sets = readBack(format, path, createTable);
    ASSERT_EQ(sets.size(), 1u) << format.toStdString();
    QStringList names;
    for (const db::Field& f : fields)
        names << f.name;
    EXPECT_EQ(sets[0].header, names) << format.toStdString();
    ASSERT_EQ(sets[0].rows.size(), rows.size()) << format.toStdString();
    for (size_t r = 0; r < rows.size(); ++r) {
        ASSERT_EQ(sets[0].rows[r].size(), fields.size()) << format.toStdString() << " row " << r;
        for (size_t c = 0; c < fields.size(); ++c) {
            Cell want = rows[r][c];
            if (!keepsNull && !want) want = QString();
            if (emptyIsNull && want && want->isEmpty()) want = Cell();
            if (lineBreaksAsLf && want)
                want = QString(*want)
                           .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                           .replace(QLatin1Char('\r'), QLatin1Char('\n'));
            const Cell& got = sets[0].rows[r][c];
            const bool number = exports::valueKind(fields[c]) == exports::ValueKind::Number;
            if (numbersAsDouble && number && want && got && exports::exactDouble(want->toStdString())) {
                EXPECT_EQ(want->toDouble(), got->toDouble())
                    << format.toStdString() << " row " << r << " column " << c;
                continue;
            }
            EXPECT_EQ(want, got) << format.toStdString() << " row " << r << " column " << c;
        }
    }
}
