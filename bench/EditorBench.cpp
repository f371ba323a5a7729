// Opening a 10 MB, 200,000-line script in the editor and scrolling through
// it, next to reading and decoding the same file (the baseline of this run).
#include "script/ScriptFile.h"
#include "editor/SqlEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

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
    return 0;
}
