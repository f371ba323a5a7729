// Opening a 10 MB, 200,000-line script in the editor and scrolling through
// it, next to reading and decoding the same file (the baseline of this run);
// then colouring the whole script with the document's language, which
// follows the server's quoting, next to Scintilla's own SQL lexer.
#include "assist/TsqlLexer.h"
#include "script/ScriptFile.h"
#include "editor/SqlEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <Qsci/qscilexersql.h>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.sql"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        QByteArray line;
        for (int i = 0; i < 200000; ++i) {
            line = "INSERT INTO t VALUES (" + QByteArray::number(i) + ", " + QByteArray::number(i % 977) +
                   ", 12.50, 'n" + QByteArray::number(i) + "');\r\n";
            f.write(line);
        }
    }
    const qint64 size = QFileInfo(path).size();
    QElapsedTimer t;
    t.start();
    const Result<ScriptContent> read = readScriptFile(path);
    const double readSeconds = double(t.nsecsElapsed()) / 1e9;

    SqlEditor editor;
    editor.resize(1200, 800);
    editor.show();
    QApplication::processEvents();
    t.restart();
    editor.setText(read.valueOr({}).text);
    QApplication::processEvents();
    const double load = double(t.nsecsElapsed()) / 1e9;
    t.restart();
    for (int line = 0; line < editor.lines(); line += editor.lines() / 50) {
        editor.setFirstVisibleLine(line);
        editor.repaint();
    }
    editor.setFirstVisibleLine(editor.lines() - 1);
    editor.repaint();
    const double scroll = double(t.nsecsElapsed()) / 1e9;
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx  (%.1f MB, %d lines)\n", "editor: load a script",
                load, "read + decode the file", readSeconds, load / readSeconds, double(size) / 1e6, editor.lines());
    std::printf("%-44s %8.3f s  (%.1f ms per jump)\n", "editor: 51 jumps through it with repaint", scroll,
                scroll * 1000 / 51);

    // Colouring the whole script from scratch, best of three.
    auto colourAll = [&](QsciLexer* lexer) {
        editor.setLanguage(lexer);
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            editor.SendScintilla(QsciScintillaBase::SCI_CLEARDOCUMENTSTYLE);
            QElapsedTimer c;
            c.start();
            editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
            best = std::min(best, double(c.nsecsElapsed()) / 1e9);
        }
        return best;
    };
    QsciLexerSQL stock;
    TsqlLexer ours;
    WordLists words;
    words.keywords = QStringList{"INSERT", "INTO", "VALUES", "SELECT", "FROM", "WHERE", "BEGIN", "END"};
    words.functions = QStringList{"COUNT", "SUM"};
    words.dataTypes = QStringList{"INT", "VARCHAR"};
    ours.setWordLists(words);
    ours.setServerFamily(db::ServerFamily::MariaDB);
    const double stockSeconds = colourAll(&stock);
    const double ourSeconds = colourAll(&ours);
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx\n", "editor: colour it all (server's quoting)",
                ourSeconds, "Scintilla's SQL lexer", stockSeconds, ourSeconds / stockSeconds);
    return 0;
}
