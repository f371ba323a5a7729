// What the statement at the caret expects, in a 20,000-line script: the
// work behind every suggestion that opens while typing. Measured next to one
// plain lexer pass over the same script (what reading the statement from the
// top would cost at least), in the same run:
//   - cold: the first question, with no statement start known yet;
//   - typing: after a change on the caret's line, the index splits only from
//     the statement start before it (the case that must stay under 5 ms);
//   - the same at a caret in the middle of the script.
//
//   bench_statement_context [runs]
#include "BenchTiming.h"
#include "assist/StatementContext.h"
#include "script/StatementIndex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Real-looking statements of many shapes, 20,000 lines in all.
QString makeScript(int lines) {
    const QStringList shapes = {
        QStringLiteral("SELECT o.id, o.amount, c.name\nFROM orders o\nJOIN customers c ON c.id = o.customer\n"
                       "WHERE o.amount > %1 AND c.country IN ('DE', 'FR')\nORDER BY o.amount DESC;\n"),
        QStringLiteral("UPDATE orders SET note = 'checked; ok', amount = amount * 1.0%1\nWHERE id = %1;\n"),
        QStringLiteral("-- a comment with a ; in it\nINSERT INTO items (order_id, product, qty)\nVALUES (%1, 'p%1', 3);\n"),
        QStringLiteral("WITH recent AS (\n  SELECT id, customer FROM orders WHERE created > now() - interval '%1 days'\n)\n"
                       "SELECT r.customer, count(*) FROM recent r GROUP BY r.customer;\n"),
        QStringLiteral("CREATE FUNCTION f%1() RETURNS int AS $$\nBEGIN\n  RETURN %1; -- it's fine;\nEND;\n$$ LANGUAGE plpgsql;\n"),
        QStringLiteral("/* report %1\n   over two lines */\nSELECT * FROM (SELECT id, amount FROM orders) x WHERE x.id = %1;\n"),
    };
    QString s;
    int count = 0;
    for (int i = 0; count < lines; ++i) {
        const QString piece = shapes[i % shapes.size()].arg(i);
        s += piece;
        count += int(piece.count(QLatin1Char('\n')));
    }
    return s;
}

double timed(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

void line(const char* label, double value, const char* against, double baseline) {
    std::printf("%-52s %8.3f ms  vs %-22s %8.3f ms   ratio %.2fx\n", label, value, against, baseline, value / baseline);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    QString script = makeScript(20000);
    const qsizetype nearEnd = script.lastIndexOf(QStringLiteral("WHERE x.id")) + 6; // "WHERE |x.id"
    const qsizetype middle = script.indexOf(QStringLiteral("WHERE x.id"), script.size() / 2) + 6;

    std::vector<double> lexing, cold, typing, typingMiddle;
    assist::StatementContext last;
    for (int r = 0; r < runs; ++r) {
        lexing.push_back(timed([&] {
            script::SqlLexer lex(script);
            for (script::Token t = lex.next(); t.kind != script::TokenKind::End; t = lex.next()) {
            }
        }));
        script::StatementIndex index;
        cold.push_back(timed([&] { last = assist::analyzeStatement(script, index.statementAround(script, nearEnd), nearEnd); }));
        // a character typed at the caret: everything from there on is forgotten
        script.insert(nearEnd, QLatin1Char('x'));
        index.textChangedAt(nearEnd);
        typing.push_back(timed([&] {
            last = assist::analyzeStatement(script, index.statementAround(script, nearEnd + 1), nearEnd + 1);
        }));
        script.remove(nearEnd, 1);
        index.textChangedAt(nearEnd);
        index.statementAround(script, middle); // known up to the middle, as after working there
        script.insert(middle, QLatin1Char('x'));
        index.textChangedAt(middle);
        typingMiddle.push_back(timed([&] {
            last = assist::analyzeStatement(script, index.statementAround(script, middle + 1), middle + 1);
        }));
        script.remove(middle, 1);
    }
    if (last.tables.empty() || last.tables[0].alias != QLatin1String("x")) {
        std::fprintf(stderr, "the statement at the caret was not read\n");
        return 1;
    }
    std::printf("== statement at the caret, %d-line script (%lld characters), median of %d runs ==\n", 20000,
                static_cast<long long>(script.size()), runs);
    const double lex = median(lexing);
    line("one lexer pass over the whole script (baseline)", lex, "", lex);
    line("context at the caret, cold (no start known)", median(cold), "lexer pass", lex);
    line("context at the caret while typing (end of script)", median(typing), "lexer pass", lex);
    line("context at the caret while typing (middle)", median(typingMiddle), "lexer pass", lex);
    line("  target while typing", median(typing), "target", 5.0);
    return 0;
}
