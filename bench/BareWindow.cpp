// The floor of a Qt desktop program's start: an empty main window, nothing
// else. bench/run-gui.sh times it next to the editor in the same run.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Qt Window"));
    window.resize(1000, 700);
    window.show();
    return app.exec();
}
