// gtest main for widget tests: an offscreen QApplication and a throwaway
// application home for the whole run (each test may make its own).
#include "base/Background.h"
#include "base/Memory.h"
#include "db/ProcessLocale.h"
#include "support/MemorySecretStore.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    base::useOneHeap(); // as the program does
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    db::useUtf8Ctype();
    store::replaceSecretStore(std::make_unique<MemorySecretStore>(false)); // never the real keyring
    ::testing::InitGoogleTest(&argc, argv);
    return base::finishProcess(RUN_ALL_TESTS());
}
