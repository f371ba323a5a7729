// gtest main for core tests: a QCoreApplication must exist for resources,
// queued signals and QThread use.
#include "base/Background.h"
#include "db/ProcessLocale.h"
#include "support/MemorySecretStore.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    db::useUtf8Ctype();
    store::replaceSecretStore(std::make_unique<MemorySecretStore>(false)); // never the real keyring
    ::testing::InitGoogleTest(&argc, argv);
    return base::finishProcess(RUN_ALL_TESTS());
}
