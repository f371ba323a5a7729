#pragma once
// A main window on a seeded throwaway home for widget tests, shown and
// active (menu keys reach only the active window). At the end its
// documents count as unchanged, so closing it asks nothing.

#include "document/QueryDocument.h"
#include "shell/MainWindow.h"
#include "store/HomeSeeding.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { store::ensureSeeded(); }
    void TearDown() override { closeWindow(); }

    void openWindow() {
        window = std::make_unique<MainWindow>();
        window->resize(1000, 700);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        activate();
    }
    void closeWindow() {
        if (window)
            for (QueryDocument* d : window->documents()) d->setChanged(false);
        window.reset();
    }
    // Again after a dialog: the offscreen platform leaves no window active.
    void activate() {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    TempHome home;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};
