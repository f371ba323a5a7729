// sqlqe: the SQL Query Editor.

#include "base/Background.h"
#include "base/Memory.h"
#include "common/Dialogs.h"
#include "common/ResourceIcon.h"
#include "connections/SshQuestions.h"
#include "db/ProcessLocale.h"
#include "document/QueryDocument.h"
#include "settings/AppPaths.h"
#include "shell/AppDialogs.h"
#include "shell/ConnectionFlow.h"
#include "shell/MainWindow.h"
#include "shell/QuitOnSignal.h"
#include "shell/SessionBusProbe.h"
#include "shell/SplashScreen.h"
#include "shell/StartTrace.h"
#include "store/HomeMove.h"
#include "store/HomeSeeding.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {
constexpr int kReleaseAfterStartMs = 700; // the first frame, the keyword lists and the seeding are done by then

void describeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("SQL Query Editor: write SQL, run it, read the results."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("home"),
                      QStringLiteral("Keep every file (settings, connections, history) in DIR instead of the "
                                     "XDG folders."),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("demo"), QStringLiteral("Connect the first document to the demo database.")});
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Scripts to open."), QStringLiteral("[FILE.sql...]"));
}
// After the options: the window system's options every Qt program takes, and the environment.
QString epilog() {
    return QStringLiteral(
               "\nOptions of the window system (one dash):\n"
               "  -platform NAME         the display plugin: xcb (X11), wayland, offscreen, ...\n"
               "  -style NAME            the widget style, e.g. Fusion\n"
               "  -stylesheet FILE       a Qt style sheet for every window\n"
               "  -reverse               right-to-left layout\n"
               "  -display DISPLAY       the X server (xcb only)\n"
               "  -geometry WxH+X+Y      the main window's place and size\n"
               "  -qwindowtitle TITLE    the main window's title\n"
               "  -platformtheme NAME    the desktop integration, e.g. gtk3\n\n"
               "The colours follow View > Theme (System, Light, Dark); System suits the\n"
               "desktop's palette or the style sheet.\n\n") +
           AppPaths::environmentHelp();
}
} // namespace

int main(int argc, char** argv) {
    shell::beginStartTrace();
    base::useOneHeap(); // a closed document's memory goes back to the system
    // --help and --version answer without a display (a terminal, a package check).
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--help" || a == "-h" || a == "--help-all" || a == "--version" || a == "-v") {
            QCoreApplication core(argc, argv);
            QCoreApplication::setApplicationName(QStringLiteral("sqlqe"));
            QCoreApplication::setApplicationVersion(QStringLiteral(SQLQE_VERSION));
            QCommandLineParser parser;
            describeOptions(parser);
            parser.parse(core.arguments());
            if (parser.isSet(QStringLiteral("version"))) parser.showVersion(); // exits
            QTextStream(stdout) << parser.helpText() << epilog();
            return 0;
        }
    }

    // Before the application object: a session bus that never answers would
    // hold the UI thread for good the first time anything touched it.
    const QString busNotice = shell::disableWhenSilent();
    if (!busNotice.isEmpty()) std::fprintf(stderr, "sqlqe: %s\n", qPrintable(busNotice));

    QApplication app(argc, argv);
    shell::markStartStep("application");
    QApplication::setApplicationName(QStringLiteral("SQL Query Editor"));
    QApplication::setApplicationVersion(QStringLiteral(SQLQE_VERSION));
    QApplication::setWindowIcon(common::resourceIcon(QStringLiteral("app")));
    db::useUtf8Ctype();

    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);

    AppDialogs dialogs;
    Dialogs::install(&dialogs);
    AppPaths::resolve(parser.value(QStringLiteral("home")), QCoreApplication::applicationDirPath());
    QStringList notices = store::moveOldHome();
    if (!busNotice.isEmpty()) notices << busNotice;
    // A new home's databases are made while the window opens; what they tell
    // and what needs them (--demo) follows once both are there.
    MainWindow* shown = nullptr;
    std::optional<QStringList> seeded;
    const bool demo = parser.isSet(QStringLiteral("demo"));
    const auto afterSeeding = [&] {
        for (const QString& n : *seeded) Dialogs::get().message(shown, n);
        if (demo)
            if (QueryDocument* doc = shown->activeDocument())
                doc->setConnection(store::demoConnectionString(), store::demoConnectionName());
        shell::markStartStep("home seeded");
    };
    notices += store::startSeeding(&app, [&](QStringList found) {
        seeded = std::move(found);
        if (shown) afterSeeding();
    });
    shell::markStartStep("home folders");

    SplashScreen splash;
    splash.show();
    app.processEvents();
    shell::markStartStep("splash shown");

    MainWindow window;
    shell::markStartStep("main window built");
    QuitOnSignal quitOnSignal(&window); // SIGTERM, SIGINT: cancel running statements, then exit
    ConnectionFlow connections(&window);
    SshQuestions sshQuestions(&window); // asked when a tunnel's jump host or key needs the user
    window.show();
    splash.close();
    app.processEvents();
    shell::markStartStep("window shown");

    for (const QString& n : notices) Dialogs::get().message(&window, n);
    window.offerRecovery();
    for (const QString& file : parser.positionalArguments()) window.openFile(file);
    shown = &window;
    if (seeded) afterSeeding();
    QTimer::singleShot(0, [] { shell::markStartStep("event loop running"); });
    // Building the window leaves freed blocks scattered through the heap
    // (parsed settings, icons, style sheets); once it has settled they go back
    // to the system instead of staying resident while the editor sits idle.
    QTimer::singleShot(kReleaseAfterStartMs, [] { base::releaseFreed(); });
    const int status = app.exec();
    Dialogs::install(nullptr);
    return base::finishProcess(status);
}
