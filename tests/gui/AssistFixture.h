#pragma once
// A query document with the shipped keyword catalogue and a small SQLite
// database (tables Orders, Customers and a system-free schema), shown and
// active so that keys reach the widget that has the focus.
#include "assist/CodeAssist.h"
#include "assist/CompletionList.h"
#include "assist/KeywordLanguage.h"
#include "db/Connection.h"
#include "document/QueryDocument.h"
#include "store/HomeSeeding.h"
#include "support/DocumentRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

class AssistFixture : public ::testing::Test {
protected:
    void SetUp() override {
        store::ensureSeeded();
        const QString file = home.file(QStringLiteral("shop.db"));
        auto c = db::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + file, {15, true});
        c->exec(QStringLiteral("CREATE TABLE Orders(id INTEGER, customer_id INTEGER, total REAL)"));
        c->exec(QStringLiteral("CREATE TABLE Customers(id INTEGER, name TEXT)"));
        c->exec(QStringLiteral("CREATE TABLE order_items(order_id INTEGER, product TEXT)"));
        cs = QStringLiteral("Provider=SQLite;Data Source=") + file;
    }

    std::unique_ptr<QueryDocument> makeDocument(bool connected = true) {
        auto d = shownDocument(connected ? cs : QString());
        QApplication::setActiveWindow(d.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(d.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return d->parts().assist->language()->isLoaded(); }, 5000));
        d->editor()->setFocus();
        return d;
    }
    // Sets the script and puts the caret at its end.
    static void script(QueryDocument& d, const QString& text) {
        d.editor()->setText(text);
        d.editor()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    }
    // Keys go where the focus is, as they would from the keyboard.
    static void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        QTest::keyClick(w, Qt::Key(k), mods);
    }
    static void type(const QString& text) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        QTest::keyClicks(w, text);
    }
    static CompletionPopup* popup(QueryDocument& d) { return d.parts().assist->popup(); }
    static CompletionList* shown(QueryDocument& d) { return popup(d)->list(popup(d)->currentList()); }
    // Waits until the shown list holds words (a catalogue read has answered).
    static bool filled(QueryDocument& d) {
        return QTest::qWaitFor(
            [&] { return !shown(d)->isPlaceholder() || !shown(d)->textAt(0).endsWith(QStringLiteral("…")); },
            5000);
    }

    TempHome home;
    ScriptedDialogs dialogs;
    QString cs;
};
