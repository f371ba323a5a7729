// Looking inside a database from a document: the filter above the object
// tree, "Show Definition" opening a new document, the plan of the statement
// at the caret on the "Plan" tab (read on the document's own session), a run
// asking for the values of its parameters, and importing a CSV file.
#include "catalog/ObjectBrowser.h"
#include "catalog/ObjectFilter.h"
#include "catalog/ObjectTreeModel.h"
#include "common/DocumentContext.h"
#include "common/ParameterDialog.h"
#include "db/Connection.h"
#include "document/CsvImportDialog.h"
#include "document/DocumentSession.h"
#include "document/PlanModel.h"
#include "document/PlanView.h"
#include "document/QueryPlanRun.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/RunController.h"
#include "run/ResultModel.h"
#include "support/Files.h"
#include "support/MainWindowFixture.h"
#include "support/TestServers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTreeView>

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 15000) {
    return QTest::qWaitFor(done, ms);
}

// What the tree view shows under a node (the texts of its visible rows).
QStringList shownUnder(QTreeView* tree, const QModelIndex& parent) {
    QStringList out;
    for (int r = 0; r < tree->model()->rowCount(parent); ++r)
        out << tree->model()->index(r, 0, parent).data().toString();
    return out;
}

class LookInsideTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        cs = QStringLiteral("Provider=SQLite;Data Source=") + home.file(QStringLiteral("shop.db"));
        auto c = db::Connection::open(cs, {15, true}); // creates the file
        for (const char* sql :
             {"CREATE TABLE orders (id INTEGER PRIMARY KEY, total REAL DEFAULT 0, note TEXT)",
              "CREATE TABLE Order_Lines (id INTEGER, order_id INTEGER REFERENCES orders (id))",
              "CREATE INDEX lines_by_order ON Order_Lines (order_id)", "CREATE TABLE items (sku TEXT)",
              "INSERT INTO orders VALUES (1, 9.5, 'it''s'), (2, 20, NULL)"})
            c->exec(QString::fromUtf8(sql));
        openWindow();
        doc = window->documents().front();
        doc->setConnection(cs);
        ASSERT_TRUE(waitFor([&] { return !doc->parts().objects->isBusy(); }));
    }
    ObjectBrowser* browser() const { return doc->parts().objects; }
    int node(const QString& key) const { return browser()->model()->findKey(key); }
    // The tables as the tree shows them now (the single-database layout
    // lists them under the provider's node).
    QStringList shownTables() const {
        QTreeView* tree = browser()->tree();
        const QModelIndex root = tree->model()->index(0, 0);
        QStringList out;
        for (const QString& t : shownUnder(tree, root))
            if (t != QLatin1String("Common Objects")) out << t;
        return out;
    }

    QString cs;
    QueryDocument* doc = nullptr;
};

} // namespace

TEST_F(LookInsideTest, TheFilterNarrowsTheTablesByNameAndKeepsWhatWasExpanded) {
    const QStringList all = shownTables();
    ASSERT_TRUE(all.contains(QStringLiteral("orders"))) << all.join(QLatin1Char(',')).toStdString();
    // open orders: its columns are read and shown
    const int orders = node(QStringLiteral("Corders"));
    ASSERT_GT(orders, 0);
    QTreeView* tree = browser()->tree();
    tree->expand(browser()->model()->indexOf(orders));
    ASSERT_TRUE(
        waitFor([&] { return !browser()->isBusy() && !browser()->model()->childrenOf(orders).empty(); }));

    QLineEdit* box = browser()->filter()->edit();
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("ORD"));
    EXPECT_EQ(shownTables(), (QStringList{"orders", "Order_Lines"}));
    EXPECT_TRUE(tree->isExpanded(browser()->model()->indexOf(orders)));
    EXPECT_EQ(shownUnder(tree, browser()->model()->indexOf(orders)).size(), 3);

    QTest::keyClicks(box, QStringLiteral("er_"));
    EXPECT_EQ(shownTables(), QStringList{"Order_Lines"});
    QTest::keyClicks(box, QStringLiteral("zz"));
    EXPECT_TRUE(shownTables().isEmpty());

    box->clear();
    EXPECT_EQ(shownTables(), all);
    EXPECT_TRUE(tree->isExpanded(browser()->model()->indexOf(orders))); // hidden a while, open again

    // a refresh keeps the filter and fills the tree through it
    box->setText(QStringLiteral("item"));
    doc->execute(DocumentCommand::RefreshObjects);
    ASSERT_TRUE(waitFor([&] { return !browser()->isBusy(); }));
    EXPECT_EQ(shownTables(), QStringList{"items"});
}

TEST_F(LookInsideTest, ShowDefinitionOpensTheCreateStatementsInANewDocument) {
    const int lines = node(QStringLiteral("COrder_Lines"));
    ASSERT_GT(lines, 0);
    browser()->tree()->setCurrentIndex(browser()->model()->indexOf(lines));
    window->action(QStringLiteral("mnuObjDefinition"))->trigger();
    ASSERT_TRUE(waitFor([&] { return window->documents().size() == 2; }));
    QueryDocument* shown = window->documents().back();
    EXPECT_EQ(
        shown->editor()->text().trimmed(),
        QStringLiteral("CREATE TABLE Order_Lines (id INTEGER, order_id INTEGER REFERENCES orders (id));\n\n"
                       "CREATE INDEX lines_by_order ON Order_Lines (order_id);"));
    EXPECT_EQ(shown->context().connectionString(), cs);
    EXPECT_FALSE(shown->isRunning()); // shown, never run
    EXPECT_EQ(dialogs.messages, QStringList());

    // a column has no definition: a message, no document
    browser()->tree()->setCurrentIndex(QModelIndex());
    window->action(QStringLiteral("mnuObjDefinition"))->trigger();
    EXPECT_EQ(window->documents().size(), 2);
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(LookInsideTest, ExplainShowsThePlanOfTheStatementAtTheCaret) {
    doc->editor()->setText(
        QStringLiteral("SELECT 1;\nSELECT o.note FROM orders o JOIN Order_Lines l ON l.order_id = o.id;"));
    doc->editor()->setCursorPosition(1, 10);
    window->action(QStringLiteral("mnuQExplain"))->trigger();
    ASSERT_TRUE(waitFor([&] { return !doc->parts().plans->isBusy(); }));
    ResultPanes* panes = doc->parts().results;
    ASSERT_EQ(panes->currentIndex(), int(ResultPanes::PlanTab));
    PlanView* view = panes->planView();
    QStringList steps;
    for (const PlanNode& n : view->model()->plan().nodes)
        steps << n.operation + QLatin1Char(' ') + n.relation;
    EXPECT_TRUE(steps.join(QLatin1Char('|')).contains(QLatin1String("SCAN")))
        << steps.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(view->tree()->model()->headerData(PlanModel::TableColumn, Qt::Horizontal).toString(),
              QStringLiteral("Table"));
    EXPECT_TRUE(view->summary()->text().contains(QLatin1String("estimated, not run")));
    // the raw text one click away
    view->findChild<QPushButton*>(QStringLiteral("planTextButton"))->click();
    EXPECT_TRUE(view->rawText()->isVisible());
    EXPECT_TRUE(view->rawText()->toPlainText().contains(QLatin1String("SCAN")));

    // Explain Analyze of a change asks first; No runs nothing
    doc->editor()->setText(QStringLiteral("DELETE FROM orders"));
    dialogs.answers.push_back(Dialogs::Answer::No);
    window->action(QStringLiteral("mnuQExplainAnalyze"))->trigger();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions.front().contains(QLatin1String("changes data")));
    auto c = db::Connection::open(cs);
    EXPECT_EQ(c->query(QStringLiteral("SELECT count(*) AS n FROM orders")).text(0, QStringLiteral("n")),
              QStringLiteral("2"));
}

// The plan is read on the document's kept session: a temporary table of an
// earlier run is found, and Explain Analyze of a change to rows the open
// transaction has changed neither waits for that transaction's locks nor
// commits it.
TEST_F(LookInsideTest, ThePlanIsReadOnTheDocumentsOwnSession) {
    QString pg;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    auto other = db::Connection::open(pg);
    other->exec(QStringLiteral("DROP TABLE IF EXISTS plan_t"));
    other->exec(QStringLiteral("CREATE TABLE plan_t (id int PRIMARY KEY, n int)"));
    other->exec(QStringLiteral("INSERT INTO plan_t VALUES (1, 10)"));
    doc->setConnection(pg);
    RunController* runs = doc->parts().runs;
    auto run = [&](const QString& text) {
        doc->editor()->setText(text);
        runs->execute();
        return waitFor([&] { return !runs->isRunning(); });
    };
    auto explain = [&](const QString& text, bool analyze) {
        doc->editor()->setText(text);
        window->action(analyze ? QStringLiteral("mnuQExplainAnalyze") : QStringLiteral("mnuQExplain"))
            ->trigger();
        return waitFor([&] { return !doc->parts().plans->isBusy(); }, 10000);
    };
    auto shownRelations = [&] {
        QStringList out;
        for (const PlanNode& n : doc->parts().results->planView()->model()->plan().nodes)
            out << n.relation;
        return out.join(QLatin1Char('|'));
    };
    ASSERT_TRUE(run(QStringLiteral("CREATE TEMP TABLE plan_tmp (id int)")));
    ASSERT_TRUE(explain(QStringLiteral("SELECT * FROM plan_tmp"), false));
    ASSERT_EQ(doc->parts().results->currentIndex(), int(ResultPanes::PlanTab));
    EXPECT_TRUE(shownRelations().contains(QLatin1String("plan_tmp"))) << shownRelations().toStdString();

    ASSERT_TRUE(doc->parts().session->setAutoCommit(false, doc));
    ASSERT_TRUE(run(QStringLiteral("UPDATE plan_t SET n = n + 1 WHERE id = 1")));
    ASSERT_TRUE(doc->parts().session->inTransaction())
        << doc->parts().results->messagePane()->text().toStdString();
    dialogs.answers.push_back(Dialogs::Answer::Yes); // it changes data: run it
    ASSERT_TRUE(explain(QStringLiteral("UPDATE plan_t SET n = n + 100 WHERE id = 1"), true))
        << "held up by the document's own locks";
    EXPECT_TRUE(shownRelations().contains(QLatin1String("plan_t"))) << shownRelations().toStdString();
    EXPECT_TRUE(doc->parts().session->inTransaction());
    EXPECT_EQ(other->query(QStringLiteral("SELECT n FROM plan_t")).rows.at(0).at(0),
              QStringLiteral("10")); // not committed
    // the transaction ends as the user says
    EXPECT_TRUE(doc->parts().session->rollBack());
    EXPECT_EQ(other->query(QStringLiteral("SELECT n FROM plan_t")).rows.at(0).at(0), QStringLiteral("10"));
    other->exec(QStringLiteral("DROP TABLE plan_t"));
}

TEST_F(LookInsideTest, ARunAsksForItsParametersOnceAndRemembersThem) {
    doc->editor()->setText(QStringLiteral("SELECT note FROM orders WHERE id = :id AND note <> ':not_me'"));
    dialogs.parameterAnswers.push_back(
        {{QStringLiteral("id"), {script::ParameterType::Integer, QStringLiteral("1"), false}}});
    doc->execute(DocumentCommand::Execute);
    ASSERT_TRUE(waitFor([&] { return !doc->isRunning(); }));
    ASSERT_EQ(dialogs.parameterAsks.size(), 1u);
    EXPECT_EQ(dialogs.parameterAsks.front(), QStringList{":id"});
    ResultModel* grid = doc->parts().results->grid()->resultModel();
    ASSERT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->index(0, 0).data().toString(), QStringLiteral("it's"));

    // the next ask starts from the values given; Cancel runs nothing
    doc->execute(DocumentCommand::Execute);
    ASSERT_EQ(dialogs.parameterAsks.size(), 2u);
    EXPECT_EQ(dialogs.rememberedSeen.back().at(QStringLiteral("id")).text, QStringLiteral("1"));
    EXPECT_FALSE(doc->isRunning());
    EXPECT_TRUE(doc->parts().results->messagePane()->text().contains(QLatin1String("Nothing was run.")));
}

TEST(ParameterDialogTest, RowsStartFromTheRememberedValuesAndGiveBackWhatIsTyped) {
    const script::ParameterValues remembered{
        {QStringLiteral("name"), {script::ParameterType::Text, QStringLiteral("O'Brien"), false}}};
    ParameterDialog dialog(
        {{QStringLiteral("id"), QStringLiteral(":id")}, {QStringLiteral("name"), QStringLiteral(":name")}},
        remembered);
    QTableWidget* t = dialog.table();
    ASSERT_EQ(t->rowCount(), 2);
    EXPECT_EQ(t->item(0, ParameterDialog::NameColumn)->text(), QStringLiteral(":id"));
    EXPECT_EQ(t->item(1, ParameterDialog::ValueColumn)->text(), QStringLiteral("O'Brien"));
    t->item(0, ParameterDialog::ValueColumn)->setText(QStringLiteral("42"));
    qobject_cast<QComboBox*>(t->cellWidget(0, ParameterDialog::TypeColumn))
        ->setCurrentText(script::typeName(script::ParameterType::Integer));
    t->item(1, ParameterDialog::NullColumn)->setCheckState(Qt::Checked);
    const script::ParameterValues v = dialog.values();
    EXPECT_EQ(v.at(QStringLiteral("id")).text, QStringLiteral("42"));
    EXPECT_EQ(v.at(QStringLiteral("id")).type, script::ParameterType::Integer);
    EXPECT_TRUE(v.at(QStringLiteral("name")).isNull);
}

// A file with quotes, a line break inside a field, UTF-8 and a
// record (on line 6: the line break counts) with a field too many.
TEST_F(LookInsideTest, ImportCsvPreviewsTheFileAndLoadsItInOneGoOrNotAtAll) {
    const QString file = home.file(QStringLiteral("people.csv"));
    writeFile(file, "id;name;joined\n1;\"O'Brien; \"\"Bob\"\"\";2024-01-31\n2;\"two\nlines\";2024-02-29\n"
                    "3;Zo\xc3\xab \xf0\x9f\x98\x80;\n4;bad;2024-03-01;extra\n");
    CsvImportDialog dialog(cs, QString());
    dialog.setFile(file);
    EXPECT_EQ(dialog.delimiter()->currentData().toInt(), int(';'));
    EXPECT_TRUE(dialog.header()->isChecked());
    QTableWidget* preview = dialog.preview();
    ASSERT_EQ(preview->columnCount(), 3);
    EXPECT_EQ(preview->horizontalHeaderItem(2)->text(), QStringLiteral("joined\nDate"));
    EXPECT_EQ(preview->item(0, 1)->text(), QStringLiteral("O'Brien; \"Bob\""));
    EXPECT_EQ(preview->item(1, 1)->text(), QStringLiteral("two\nlines"));
    EXPECT_EQ(preview->item(2, 1)->text(), QStringLiteral("Zo\u00eb \U0001F600"));
    EXPECT_EQ(preview->item(2, 2)->text(), QStringLiteral("NULL"));

    dialog.setTable(QStringLiteral("people"));
    ASSERT_TRUE(waitFor([&] { return !dialog.isBusy(); }));
    EXPECT_FALSE(dialog.tableExists());
    ASSERT_EQ(dialog.columns()->rowCount(), 3);

    // the bad row stops it: no table, the line named
    QSignalSpy done(&dialog, &CsvImportDialog::importFinished);
    dialog.startImport();
    ASSERT_TRUE(waitFor([&] { return done.size() == 1; }));
    EXPECT_TRUE(dialog.status()->text().contains(QLatin1String("Line 6")))
        << dialog.status()->text().toStdString();
    auto c = db::Connection::open(cs);
    EXPECT_TRUE(
        c->query(QStringLiteral("SELECT name FROM sqlite_master WHERE name = 'people'")).rows.empty());

    // skipped and listed: the other rows arrive whole
    dialog.skipBadRows()->setChecked(true);
    dialog.startImport();
    ASSERT_TRUE(waitFor([&] { return done.size() == 2 && !dialog.isBusy(); }));
    EXPECT_TRUE(dialog.badRows()->toPlainText().startsWith(QLatin1String("Line 6:")))
        << dialog.badRows()->toPlainText().toStdString();
    const db::Table rows = c->query(QStringLiteral("SELECT name, joined FROM people ORDER BY id"));
    ASSERT_EQ(rows.rows.size(), 3u);
    EXPECT_EQ(rows.text(1, QStringLiteral("name")), QStringLiteral("two\nlines"));
    EXPECT_EQ(rows.text(2, QStringLiteral("name")), QStringLiteral("Zo\u00eb \U0001F600"));
    EXPECT_FALSE(rows.rows[2][1].has_value());
    EXPECT_TRUE(dialog.tableExists()); // read again after the import
}
