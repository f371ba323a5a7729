#include "app/AppHome.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SQL Query Editor"));
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("home"), QStringLiteral("Use DIR as the application home."), QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("demo"), QStringLiteral("Connect the first document to the demo database.")});
    parser.process(app);
    AppHome::resolve(parser.value(QStringLiteral("home")), QCoreApplication::applicationDirPath());
    for (const QString& notice : AppHome::ensureSeeded()) QMessageBox::warning(nullptr, QStringLiteral("SQL Query Editor"), notice);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("SQL Query Editor"));
    w.setCentralWidget(new QLabel(QStringLiteral("Home: ") + AppHome::path()));
    w.resize(1024, 700);
    w.show();
    return app.exec();
}
