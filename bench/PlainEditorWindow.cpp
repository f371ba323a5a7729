// The floor of a Qt text editor's start: what any editor window of this size
// shows at once, made the plainest way. A menu bar with four menus, a
// toolbar of the style's standard icons, a plain text editor in a fixed
// font, a status bar with a label. bench/run-gui.sh times it next to the
// editor and the empty window in the same run: the empty window draws no
// text and makes no menu bar, so it shows what Qt itself costs, this one
// what every editor built on Qt Widgets pays before any feature of its own.
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Plain Qt Editor Window"));
    const char* menus[][6] = {{"&File", "&New", "&Open...", "&Save", "Save &As...", "E&xit"},
                              {"&Edit", "&Undo", "&Redo", "Cu&t", "&Copy", "&Paste"},
                              {"&View", "&Toolbar", "&Status Bar", "&Zoom In", "Zoom &Out", "&Full Screen"},
                              {"&Help", "&Contents", "&Search", "&Keys", "&Updates", "&About"}};
    for (const auto& m : menus) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(m[0]));
        for (int i = 1; i < 6; ++i)
            menu->addAction(QString::fromLatin1(m[i]));
    }
    QToolBar* bar = window.addToolBar(QStringLiteral("Main"));
    for (QStyle::StandardPixmap p : {QStyle::SP_FileIcon, QStyle::SP_DialogOpenButton, QStyle::SP_DialogSaveButton,
                                     QStyle::SP_ArrowBack, QStyle::SP_ArrowForward, QStyle::SP_MediaPlay,
                                     QStyle::SP_MediaStop})
        bar->addAction(window.style()->standardIcon(p), QString());
    auto* editor = new QPlainTextEdit(&window);
    editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    window.setCentralWidget(editor);
    window.statusBar()->addWidget(new QLabel(QStringLiteral("Ready")));
    window.resize(1000, 700);
    window.show();
    return app.exec();
}
