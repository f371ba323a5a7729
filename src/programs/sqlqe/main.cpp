// sqlqe: the SQL Query Editor.

#include "common/Dialogs.h"
#include "db/ProcessLocale.h"
#include "document/QueryDocument.h"
#include "settings/AppPaths.h"
#include "shell/AppDialogs.h"
#include "shell/ConnectionFlow.h"
#include "shell/MainWindow.h"
#include "shell/SplashScreen.h"
#include "store/HomeSeeding.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SQL Query Editor"));
    QApplication::setApplicationVersion(QStringLiteral(SQLQE_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    db::useUtf8Ctype();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("SQL Query Editor"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("home"), QStringLiteral("Use DIR as the application home."), QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("demo"), QStringLiteral("Connect the first document to the demo database.")});
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Scripts to open."), QStringLiteral("[FILE.sql...]"));
    parser.process(app);

    AppDialogs dialogs;
    Dialogs::install(&dialogs);
    AppPaths::resolve(parser.value(QStringLiteral("home")), QCoreApplication::applicationDirPath());
    const QStringList notices = homeseeding::ensureSeeded();

    SplashScreen splash;
    splash.show();
    app.processEvents();

    MainWindow window;
    ConnectionFlow connections(&window);
    window.show();
    splash.close();
    app.processEvents();

    for (const QString& n : notices) Dialogs::get().message(&window, n);
    window.offerRecovery();
    for (const QString& file : parser.positionalArguments()) window.openFile(file);
    if (parser.isSet(QStringLiteral("demo")))
        if (QueryDocument* doc = window.activeDocument())
            doc->setConnection(homeseeding::demoConnectionString(), homeseeding::demoConnectionName());
    const int status = app.exec();
    Dialogs::install(nullptr);
    return status;
}
