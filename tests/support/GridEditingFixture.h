#pragma once
// The main window with a document on a small SQLite file of people (three
// rows: Ann, Bob, Cy) and their pets, for driving grid edits as a user
// does: run a statement, type into a cell, read what the grid shows and
// what the file holds.

#include "db/Connection.h"
#include "document/QueryDocument.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "editing/EditBar.h"
#include "support/DocumentRun.h"
#include "support/MainWindowFixture.h"
#include "support/Typing.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

class GridEditingTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        cs = QStringLiteral("Provider=SQLite;Data Source=") + home.file(QStringLiteral("people.db"));
        auto c = db::Connection::open(cs, {15, true});
        c->exec(QStringLiteral("CREATE TABLE people(id INTEGER PRIMARY KEY, name TEXT, born DATE)"));
        c->exec(QStringLiteral("CREATE TABLE pets(id INTEGER PRIMARY KEY, owner INTEGER, kind TEXT)"));
        c->exec(QStringLiteral("INSERT INTO people VALUES (1, 'Ann', '1990-01-01'), (2, 'Bob', NULL), (3, 'Cy', NULL)"));
        c->exec(QStringLiteral("INSERT INTO pets VALUES (1, 1, 'cat')"));
        openWindow();
        doc = window->activeDocument();
        doc->setConnection(cs);
    }
    void run(const QString& script) { runScript(doc, script, 10000); }
    ResultGrid* grid() const { return doc->parts().results->grid(); }
    EditBar* bar() const { return grid()->parentWidget()->findChild<EditBar*>(); }
    QString shown(int row, int column) const { return grid()->model()->index(row, column).data().toString(); }
    // F2 on a cell, the text typed over it, Enter.
    void typeInto(int row, int column, const QString& text) {
        grid()->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(row, column));
        QTest::keyClick(grid(), Qt::Key_F2);
        auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(line, nullptr) << "F2 opens an editor";
        line->selectAll();
        QTest::keyClicks(line, text);
        QTest::keyClick(line, Qt::Key_Return);
        QApplication::processEvents(); // the view commits an editor's value on Enter by a queued call
    }
    QString nameInFile(int id) const {
        const db::Table t = db::Connection::open(cs)->query(QStringLiteral("SELECT name FROM people WHERE id = ?"), {id});
        return t.rows.empty() ? QStringLiteral("<gone>") : t.rows[0][0].value_or(QStringLiteral("<NULL>"));
    }
    QString cs;
    QueryDocument* doc = nullptr;
};

