// The options dialog as a user meets it: what it shows without a settings
// file, every key written and read back, hand edits that survive, a file
// that cannot be written, the tool chooser and its tabs, browse buttons.
#include "options/OptionsDialog.h"

#include "options/ExecutionPlanPage.h"
#include "options/GeneralOptionsPage.h"
#include "options/PathField.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"
#include "shell/MainWindow.h"
#include "store/HomeSeeding.h"
#include "support/Files.h"
#include "support/GuiBShownTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

using settings::Key;
using settings::Kind;

namespace {

class OptionsDialogTest : public ::testing::Test {
protected:
    QString config() const { return AppPaths::configFile(); }
    TempHome home;
    ScriptedDialogs dialogs;
};

QString textOf(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    ADD_FAILURE() << "not a text control: " << w->metaObject()->className();
    return {};
}

void setTextOf(QWidget* w, const QString& text) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->setText(text);
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->setEditText(text);
    ADD_FAILURE() << "not a text control: " << w->metaObject()->className();
}

QCheckBox* checkOf(const OptionsDialog& d, Key key) {
    auto* box = qobject_cast<QCheckBox*>(d.control(key));
    EXPECT_TRUE(box) << settings::spec(key).name;
    return box;
}

// What "OK" writes into a file created from nothing, every control at its
// first-start state: the keys in the dialog's order, flags "0" (a flag that
// a missing value leaves on, "1"), the plan "User Specific", the "Other"
// tool, "Text" results and the System theme.
const QByteArray kFirstStartFile =
    "[OPTIONS]\ncodesense=0\ncatalogsense=0\nautocorrsyntax=0\nconverttabs=0\n"
    "parsecomments=0\nshowsplash=0\nstartupquery=0\nrowcount=0\nrowcountvalue=\n"
    "logintimeout=\nqueryterminator=\nfont=\nfontsize=\nsyntaxhighlight=0\n"
    "executionplan=1\nexecutionselected=Other\nresultsin=1\nresultmemorylimit=\nconfirmunfiltered=1\nhistorylimit=\n"
    "autocompletedot=1\nautocompleteword=1\n"
    "theme=system\n"
    "gridmemory=\nnullmarker=\nexportnulltext=\n"
    "\n[ISQLW]\nserver=\ndatabase=\nuser=\npassword=\ntrustedconnection=0\n"
    "inputfile=\noutputfile=\nshellopen=0\n"
    "\n[ISQL]\nserver=\ndatabase=\nuser=\npassword=\ntrustedconnection=0\n"
    "inputfile=\noutputfile=\ncolumnseperator=\nquery=0\nstatistics=0\n"
    "\n[Other]\nserverflag=\nserver=\ndatabaseflag=\ndatabase=\nuserflag=\nuser=\n"
    "passwordflag=\npassword=\nexecute=\ninputfileflag=\ninputfile=\n"
    "outputfileflag=\noutputfile=\n";

} // namespace

TEST_F(OptionsDialogTest, WithoutASettingsFileEveryBoxIsEmptyAndOkWritesACompleteFile) {
    ASSERT_FALSE(QFileInfo::exists(config()));
    OptionsDialog d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(tabTexts(d.tabs()), (QStringList{"General Options", "Execution Plan"}));
    ExecutionPlanPage* plan = d.executionPage();
    EXPECT_EQ(tabTexts(plan->toolTabs()), (QStringList{"ISQLW Settings", "ISQL Settings", "Other Settings"}));
    EXPECT_EQ(d.okButton()->text(), QStringLiteral("OK"));
    EXPECT_EQ(d.cancelButton()->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(d.helpButton()->text(), QStringLiteral("Help"));

    for (const settings::KeySpec& k : settings::allKeys()) {
        ASSERT_TRUE(d.control(k.key)) << k.name;
        if (k.kind == Kind::Flag) {
            EXPECT_FALSE(checkOf(d, k.key)->isChecked()) << k.name;
        } else if (k.kind == Kind::FlagDefaultOn) {
            EXPECT_TRUE(checkOf(d, k.key)->isChecked()) << k.name;
        } else if (k.kind != Kind::Choice && k.key != Key::ExecutionSelected && k.key != Key::Theme) {
            EXPECT_EQ(textOf(d.control(k.key)), QString()) << k.name; // font and size too
        }
    }
    EXPECT_TRUE(d.generalPage()->textButton()->isChecked());
    EXPECT_FALSE(d.generalPage()->gridButton()->isChecked());
    EXPECT_TRUE(plan->userSpecificButton()->isChecked());
    EXPECT_FALSE(plan->defaultPlanButton()->isChecked());
    EXPECT_EQ(plan->toolChooser()->currentText(), QStringLiteral("Other"));
    EXPECT_TRUE(plan->toolChooser()->isEnabled());
    EXPECT_TRUE(plan->toolTabs()->isEnabled());
    EXPECT_EQ(plan->toolTabs()->currentIndex(), 2);
    EXPECT_EQ(d.generalPage()->fontPreview()->text(), QStringLiteral(" - "));
    EXPECT_EQ(comboTexts(plan->toolChooser()), (QStringList{"ISQLW", "ISQL", "Other"}));
    EXPECT_EQ(d.generalPage()->fontSizeBox()->count(), 12);
    EXPECT_EQ(d.generalPage()->fontSizeBox()->itemText(0), QStringLiteral("6"));
    EXPECT_EQ(d.generalPage()->fontSizeBox()->itemText(11), QStringLiteral("24"));

    d.show();
    d.okButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(readFile(config()), kFirstStartFile);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(OptionsDialogTest, EverySectionReadsBackExactlyAsWritten) {
    // Awkward but single-line texts; blanks around a value are not kept by
    // the file format, so none are used here.
    std::map<Key, QString> expected;
    auto fill = [&](OptionsDialog& d, int variant) {
        int i = variant;
        for (const settings::KeySpec& k : settings::allKeys()) {
            ++i;
            if (k.kind == Kind::Flag || k.kind == Kind::FlagDefaultOn) {
                checkOf(d, k.key)->setChecked(i % 2 == 0);
                expected[k.key] = i % 2 == 0 ? "1" : "0";
            } else if (k.kind == Kind::Text || k.kind == Kind::Number) {
                if (k.key == Key::ExecutionSelected || k.key == Key::Theme) continue;
                const QString v = QStringLiteral("%1 %2 'o''k' 100% \"q\" a=b;c #%3")
                                      .arg(settings::sectionName(k.section), k.name)
                                      .arg(variant);
                setTextOf(d.control(k.key), v);
                expected[k.key] = v;
            }
        }
    };
    {
        OptionsDialog d;
        fill(d, 0);
        d.executionPage()->defaultPlanButton()->click();
        d.executionPage()->toolChooser()->setCurrentText(QStringLiteral("ISQL")); // kept while unavailable
        d.generalPage()->gridButton()->click();
        d.generalPage()->themeBox()->setCurrentText(QStringLiteral("Dark"));
        expected[Key::ExecutionPlan] = "0";
        expected[Key::ExecutionSelected] = "ISQL";
        expected[Key::ResultsIn] = "0";
        expected[Key::Theme] = "dark";
        d.okButton()->click();
        ASSERT_EQ(d.result(), QDialog::Accepted);
    }
    const settings::Snapshot s = settings::current();
    for (const auto& [key, value] : expected)
        EXPECT_EQ(s.text(key), value) << settings::spec(key).name;
    ASSERT_EQ(expected.size(), size_t(settings::kKeyCount));
    {
        OptionsDialog d;
        for (const auto& [key, value] : d.bindings().values())
            EXPECT_EQ(value, expected[key]) << settings::spec(key).name;
        EXPECT_TRUE(d.generalPage()->gridButton()->isChecked());
        EXPECT_TRUE(d.executionPage()->defaultPlanButton()->isChecked());
        EXPECT_FALSE(d.executionPage()->toolChooser()->isEnabled());
        EXPECT_FALSE(d.executionPage()->toolTabs()->isEnabled());
        EXPECT_EQ(d.executionPage()->toolTabs()->currentIndex(), 1);

        // The other way round for every choice and flag.
        fill(d, 1);
        d.executionPage()->userSpecificButton()->click();
        d.executionPage()->toolTabs()->setCurrentIndex(0);
        d.generalPage()->textButton()->click();
        d.generalPage()->themeBox()->setCurrentText(QStringLiteral("Light"));
        expected[Key::ExecutionPlan] = "1";
        expected[Key::ExecutionSelected] = "ISQLW";
        expected[Key::ResultsIn] = "1";
        expected[Key::Theme] = "light";
        d.okButton()->click();
    }
    const QByteArray once = readFile(config());
    {
        OptionsDialog d;
        for (const auto& [key, value] : d.bindings().values())
            EXPECT_EQ(value, expected[key]) << settings::spec(key).name;
        EXPECT_EQ(d.executionPage()->toolTabs()->currentIndex(), 0);
        EXPECT_TRUE(d.generalPage()->textButton()->isChecked());
        d.okButton()->click();
    }
    EXPECT_EQ(readFile(config()), once); // saving unchanged options changes nothing
}

TEST_F(OptionsDialogTest, HandWrittenKeysCommentsAndCaseSurviveOk) {
    writeFile(config(), "; my own notes\n[options]\nCODESENSE=1\nmykey=keep me\n# about the tools\n"
                        "ROWCOUNTVALUE =  500  \n\n[Custom]\nx=1\n\n[isql]\nServer=db1\nextra=2\n");
    OptionsDialog d;
    EXPECT_TRUE(checkOf(d, Key::CodeSense)->isChecked());
    EXPECT_EQ(textOf(d.control(Key::RowCountValue)), QStringLiteral("500"));
    EXPECT_EQ(textOf(d.control(Key::IsqlServer)), QStringLiteral("db1"));
    checkOf(d, Key::CodeSense)->setChecked(false);
    d.okButton()->click();
    ASSERT_EQ(d.result(), QDialog::Accepted);
    const QByteArray file = readFile(config());
    EXPECT_TRUE(file.startsWith("; my own notes\n[options]\ncodesense=0\nmykey=keep me\n# about the tools\n"
                                "rowcountvalue=500\ncatalogsense=0\n"))
        << file.toStdString();
    EXPECT_TRUE(file.contains("\n[Custom]\nx=1\n"));
    EXPECT_TRUE(file.contains("\n[isql]\nserver=db1\nextra=2\n"));
    EXPECT_EQ(file.count("[ISQL]") + file.count("[isql]"), 1); // the section is not written twice
    EXPECT_EQ(settings::current().text(Key::ExecutionSelected), QStringLiteral("Other"));
}

TEST_F(OptionsDialogTest, AFileThatCannotBeWrittenKeepsTheDialogOpenWithTheEdits) {
    ASSERT_TRUE(QDir().mkpath(config())); // a folder in the way fails even for root
    OptionsDialog d;
    d.show();
    setTextOf(d.control(Key::Font), QStringLiteral("Mono"));
    d.okButton()->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_NE(d.result(), QDialog::Accepted);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("could not be saved")))
        << dialogs.messages[0].toStdString();
    EXPECT_TRUE(dialogs.messages[0].contains(config())) << dialogs.messages[0].toStdString();
    EXPECT_EQ(d.okButton()->text(), QStringLiteral("OK"));
    EXPECT_EQ(textOf(d.control(Key::Font)), QStringLiteral("Mono"));

    ASSERT_TRUE(QDir(config()).removeRecursively());
    d.okButton()->click(); // once the way is clear, the same edits are saved
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(settings::current().text(Key::Font), QStringLiteral("Mono"));
}

TEST_F(OptionsDialogTest, AReadOnlyFolderOrFileIsReportedAndLeftAlone) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere; the folder-in-the-way case covers it";
    writeFile(config(), "[OPTIONS]\nfont=Courier\n");
    const QByteArray before = readFile(config());
    const auto rw = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    struct Case {
        QString path;
        QFileDevice::Permissions locked, unlocked;
    };
    for (const Case& c :
         {Case{config(), QFileDevice::ReadOwner, rw},
          Case{home.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner, rw | QFileDevice::ExeOwner}}) {
        dialogs.messages.clear();
        OptionsDialog d;
        d.show();
        setTextOf(d.control(Key::Font), QStringLiteral("Mono"));
        QFile::setPermissions(c.path, c.locked);
        d.okButton()->click();
        QFile::setPermissions(c.path, c.unlocked);
        EXPECT_TRUE(d.isVisible()) << c.path.toStdString();
        EXPECT_EQ(dialogs.messages.size(), 1) << c.path.toStdString();
        EXPECT_EQ(readFile(config()), before);
    }
}

TEST_F(OptionsDialogTest, CancelWritesNothing) {
    writeFile(config(), "[OPTIONS]\nfont=Courier\n");
    OptionsDialog d;
    setTextOf(d.control(Key::Font), QStringLiteral("Mono"));
    checkOf(d, Key::RowCount)->setChecked(true);
    d.cancelButton()->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(readFile(config()), QByteArray("[OPTIONS]\nfont=Courier\n"));
}

TEST_F(OptionsDialogTest, TheToolChooserAndTheNestedTabsFollowEachOther) {
    writeFile(config(), "[OPTIONS]\nexecutionplan=1\nexecutionselected=ISQLW\n");
    {
        OptionsDialog d;
        ExecutionPlanPage* plan = d.executionPage();
        EXPECT_EQ(plan->toolTabs()->currentIndex(), 0);
        plan->toolChooser()->setCurrentText(QStringLiteral("ISQL"));
        EXPECT_EQ(plan->toolTabs()->currentIndex(), 1);
        plan->toolTabs()->setCurrentIndex(2);
        EXPECT_EQ(plan->toolChooser()->currentText(), QStringLiteral("Other"));
        plan->toolTabs()->setCurrentIndex(0);
        EXPECT_EQ(plan->toolChooser()->currentText(), QStringLiteral("ISQLW"));

        plan->defaultPlanButton()->click();
        EXPECT_FALSE(plan->toolChooser()->isEnabled());
        EXPECT_FALSE(plan->toolTabs()->isEnabled());
        plan->userSpecificButton()->click();
        EXPECT_TRUE(plan->toolChooser()->isEnabled());
        EXPECT_TRUE(plan->toolTabs()->isEnabled());
    }
    // The tool name is compared exactly, like the runs compare it; an empty
    // or odd plan reads as "User Specific".
    writeFile(config(), "[OPTIONS]\nexecutionplan=2\nexecutionselected=isql\n");
    OptionsDialog d;
    EXPECT_TRUE(d.executionPage()->userSpecificButton()->isChecked());
    EXPECT_EQ(d.executionPage()->toolChooser()->currentText(), QStringLiteral("Other"));
    EXPECT_EQ(d.executionPage()->toolTabs()->currentIndex(), 2);
}

TEST_F(OptionsDialogTest, BrowseFillsThePathAndCancelKeepsIt) {
    OptionsDialog d;
    const std::vector<Key> pathKeys = {Key::IsqlwInputFile, Key::IsqlwOutputFile, Key::IsqlInputFile,
                                       Key::IsqlOutputFile, Key::OtherExecute,    Key::OtherInputFile,
                                       Key::OtherOutputFile};
    for (const settings::KeySpec& k : settings::allKeys()) {
        const bool browsable = std::find(pathKeys.begin(), pathKeys.end(), k.key) != pathKeys.end();
        EXPECT_EQ(d.pathField(k.key) != nullptr, browsable) << k.name;
    }
    for (Key key : pathKeys) {
        PathField* p = d.pathField(key);
        dialogs.fileNames = {QStringLiteral("/data/my 100% files/in'1.sql"), QString()};
        p->browseButton()->click();
        EXPECT_EQ(p->field()->text(), QStringLiteral("/data/my 100% files/in'1.sql"));
        p->browseButton()->click(); // cancelled
        EXPECT_EQ(p->field()->text(), QStringLiteral("/data/my 100% files/in'1.sql"))
            << settings::spec(key).name;
        EXPECT_EQ(dialogs.startFolders.last(), QStringLiteral("/data/my 100% files"));
    }
    EXPECT_EQ(dialogs.fileDialogs.size(), 14);
    d.okButton()->click();
    EXPECT_EQ(settings::current().text(Key::OtherExecute), QStringLiteral("/data/my 100% files/in'1.sql"));
}

TEST_F(OptionsDialogTest, EachCheckBoxEditsItsKey) {
    OptionsDialog d;
    const std::vector<std::pair<Key, const char*>> captions = {
        {Key::CodeSense, "Code Sense"},
        {Key::CatalogSense, "Catalog Sense"},
        {Key::AutoCorrectSyntax, "Auto Correct Syntax"},
        {Key::ConvertTabs, "Convert Tabs To Spaces"},
        {Key::ParseComments, "Parse Comments Locally"},
        {Key::ShowSplash, "Show Splash Screen "},
        {Key::StartupQuery, "Show Startup Query"},
        {Key::RowCount, "Rowcount ON"},
        {Key::SyntaxHighlight, "Syntax Highlight"},
        {Key::IsqlwTrustedConnection, "Trusted Connection"},
        {Key::IsqlwShellOpen, "Shell Open QA (-f)"},
        {Key::IsqlTrustedConnection, "Trusted Connection"},
        {Key::IsqlQuery, "Query"},
        {Key::IsqlStatistics, "Print Statistics"},
    };
    for (const auto& [key, caption] : captions)
        EXPECT_EQ(checkOf(d, key)->text(), QString::fromUtf8(caption)) << settings::spec(key).name;
    // The ISQLW box sits on the ISQLW tab, the ISQL one on the ISQL tab.
    QTabWidget* tools = d.executionPage()->toolTabs();
    EXPECT_TRUE(tools->widget(0)->isAncestorOf(d.control(Key::IsqlwTrustedConnection)));
    EXPECT_TRUE(tools->widget(1)->isAncestorOf(d.control(Key::IsqlTrustedConnection)));
    EXPECT_TRUE(tools->widget(2)->isAncestorOf(d.control(Key::OtherServerFlag)));
    EXPECT_TRUE(d.tabs()->widget(0)->isAncestorOf(d.control(Key::Font)));
    EXPECT_TRUE(d.tabs()->widget(1)->isAncestorOf(d.control(Key::ExecutionSelected)));
}

TEST_F(OptionsDialogTest, PasswordsAreMaskedAndSwitchesAreNot) {
    OptionsDialog d;
    for (Key key : {Key::IsqlwPassword, Key::IsqlPassword, Key::OtherPassword})
        EXPECT_EQ(qobject_cast<QLineEdit*>(d.control(key))->echoMode(), QLineEdit::Password)
            << settings::spec(key).name;
    for (Key key : {Key::OtherPasswordFlag, Key::IsqlwUser, Key::OtherUser})
        EXPECT_EQ(qobject_cast<QLineEdit*>(d.control(key))->echoMode(), QLineEdit::Normal)
            << settings::spec(key).name;
}

TEST_F(OptionsDialogTest, APasswordSaysWhereItGoesAndWarnsWhenEveryoneCanReadIt) {
    OptionsDialog d;
    // the note under a password box, found from the box's page
    auto noteFor = [&d](Key password) {
        QWidget* page = d.control(password)->parentWidget();
        for (QLabel* l : page->findChildren<QLabel*>(QStringLiteral("passwordNote")))
            if (!l->isHidden()) return l->text();
        return QString();
    };
    auto* other = qobject_cast<QLineEdit*>(d.control(Key::OtherPassword));
    auto* execute = qobject_cast<QLineEdit*>(d.control(Key::OtherExecute));
    EXPECT_EQ(noteFor(Key::OtherPassword), QString()); // no password, nothing to say
    execute->setText(QStringLiteral("/usr/bin/psql"));
    other->setText(QStringLiteral("S3cret"));
    EXPECT_EQ(noteFor(Key::OtherPassword),
              QStringLiteral("The password goes to psql in its environment (PGPASSWORD), not on its command line."));
    execute->setText(QStringLiteral("tsql"));
    EXPECT_EQ(noteFor(Key::OtherPassword),
              QStringLiteral("tsql takes the password only on its command line: every user of this computer can read "
                             "it there while the tool runs."));
    qobject_cast<QLineEdit*>(d.control(Key::IsqlwPassword))->setText(QStringLiteral("pw"));
    EXPECT_TRUE(noteFor(Key::IsqlwPassword).startsWith(QStringLiteral("isqlw takes the password only on its command line")));
}

TEST_F(OptionsDialogTest, DescriptionsShowTheToolsUsage) {
    OptionsDialog d;
    d.findChild<QPushButton*>(QStringLiteral("isqlDescription"))->click();
    d.findChild<QPushButton*>(QStringLiteral("isqlwDescription"))->click();
    ASSERT_EQ(dialogs.messages.size(), 2);
    const QStringList isql = dialogs.messages[0].split(QLatin1Char('\n'));
    ASSERT_EQ(isql.size(), 19);
    EXPECT_EQ(isql[0],
              QString::fromUtf8("The isql utility allows you to enter Transact-SQL statements, system "
                                "procedures, and script files; and uses DB-Library to communicate with "
                                "Microsoft\u00ae SQL Server\u2122 2000."));
    EXPECT_EQ(isql[1], QString());
    EXPECT_EQ(isql[2], QStringLiteral("isql"));
    EXPECT_EQ(isql[8], QString::fromUtf8("            | \u2013E"));
    EXPECT_EQ(isql[15], QStringLiteral("        [-n] [-m error_level] [-r {0 | 1}]"));
    EXPECT_EQ(isql[18], QStringLiteral("    ]"));
    const QStringList isqlw = dialogs.messages[1].split(QLatin1Char('\n'));
    ASSERT_EQ(isqlw.size(), 13);
    EXPECT_TRUE(isqlw[0].startsWith(QStringLiteral("The isqlw utility (SQL Query Analyzer) allows you")));
    EXPECT_TRUE(isqlw[0].endsWith(QStringLiteral("to launch a preconfigured SQL Query Analyzer.")));
    EXPECT_EQ(isqlw[2], QStringLiteral("    [-?] |"));
    EXPECT_EQ(isqlw[4], QStringLiteral("        [-S server_name[\\instance_name]]"));
    EXPECT_EQ(isqlw[7], QStringLiteral("        [{-i input_file} {-o output_file} [-F {U|A|O}]]"));
    EXPECT_EQ(isqlw[12], QStringLiteral("    ]"));
}

TEST_F(OptionsDialogTest, TheFontPreviewShowsTheChoiceInItsFont) {
    OptionsDialog d;
    GeneralOptionsPage* g = d.generalPage();
    const QString family =
        g->fontBox()->count() > 0 ? g->fontBox()->itemText(0) : QStringLiteral("Monospace");
    g->fontBox()->setEditText(family);
    g->fontSizeBox()->setCurrentText(QStringLiteral("14"));
    EXPECT_EQ(g->fontPreview()->text(), family + QStringLiteral(" - 14"));
    EXPECT_EQ(g->fontPreview()->font().pointSizeF(), 14.0);
    EXPECT_EQ(g->fontPreview()->font().families().value(0), family);
    g->fontSizeBox()->setEditText(QStringLiteral("big"));
    EXPECT_EQ(g->fontPreview()->text(), family + QStringLiteral(" - big"));
    EXPECT_EQ(g->fontPreview()->font().families().value(0), family);
}

TEST_F(OptionsDialogTest, OddNumbersAreStoredAsTypedAndRunSettingsApplyAtOnce) {
    store::ensureSeeded();
    OptionsDialog d;
    setTextOf(d.control(Key::LoginTimeout), QStringLiteral("abc"));
    checkOf(d, Key::RowCount)->setChecked(true);
    setTextOf(d.control(Key::RowCountValue), QStringLiteral("5"));
    d.okButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    const settings::Snapshot s = settings::current();
    EXPECT_EQ(s.text(Key::LoginTimeout), QStringLiteral("abc"));
    EXPECT_EQ(s.loginTimeoutSeconds(), 15);
    EXPECT_EQ(s.rowLimit(), 5);
    // The seeded file's own note survives.
    EXPECT_TRUE(
        readFile(config()).startsWith("; Settings of SQL Query Editor. Edit them with Query > Options..."));
}

TEST_F(OptionsDialogTest, SettingsSayWhenTheyTakeEffect) {
    OptionsDialog d;
    int newDocumentNotes = 0, atOnceNotes = 0;
    for (const QLabel* l : d.findChildren<QLabel*>(QStringLiteral("optionNote"))) {
        if (l->text() == QStringLiteral("(new documents)")) ++newDocumentNotes;
        if (l->text() == QStringLiteral("(at once)")) ++atOnceNotes;
    }
    EXPECT_EQ(newDocumentNotes, 1); // default results
    EXPECT_EQ(atOnceNotes, 4);      // case correction, tabs, colouring, font
    d.helpButton()->click();        // the help topic; nothing to answer, the dialog stays
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(d.result(), 0);
}

TEST_F(OptionsDialogTest, TheQueryMenuOpensTheDialogModally) {
    store::ensureSeeded();
    MainWindow window;
    window.show();
    QString seen;
    QTimer::singleShot(0, [&seen] {
        if (auto* d = qobject_cast<OptionsDialog*>(QApplication::activeModalWidget())) {
            seen = d->windowTitle();
            setTextOf(d->control(Key::QueryTerminator), QStringLiteral("END"));
            d->okButton()->click();
        }
    });
    window.action(QStringLiteral("mnuViewOptions"))->trigger();
    EXPECT_EQ(seen, QStringLiteral("Options"));
    EXPECT_EQ(settings::current().text(Key::QueryTerminator), QStringLiteral("END"));
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(OptionsDialogTest, CaptionsAreSpelledRightAndTheKeysStay) {
    OptionsDialog d;
    QStringList texts;
    for (const QLabel* l : d.findChildren<QLabel*>()) texts << l->text();
    for (const QCheckBox* c : d.findChildren<QCheckBox*>()) texts << c->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Query Terminator String:")));
    for (const QString& t : texts)
        EXPECT_FALSE(t.contains(QLatin1String("Termintator")) || t.contains(QLatin1String("Localy"))) << t.toStdString();
    EXPECT_STREQ(settings::spec(Key::ParseComments).name, "parsecomments");
    EXPECT_STREQ(settings::spec(Key::QueryTerminator).name, "queryterminator");
}

TEST_F(OptionsDialogTest, SwitchBoxesShowTheSwitchesTheGuideRecommends) {
    OptionsDialog d;
    d.show();
    d.tabs()->setCurrentIndex(1);
    d.executionPage()->toolTabs()->setCurrentIndex(2); // "Other Settings"
    QApplication::processEvents();
    for (const QString& sw : {QStringLiteral("-header -column"), QStringLiteral("-X -v ON_ERROR_STOP=1 -p 5432 -d")}) {
        for (Key k : {Key::OtherServerFlag, Key::OtherDatabaseFlag, Key::OtherUserFlag, Key::OtherPasswordFlag,
                      Key::OtherInputFileFlag, Key::OtherOutputFileFlag}) {
            auto* box = qobject_cast<QLineEdit*>(d.control(k));
            ASSERT_NE(box, nullptr);
            box->setText(sw);
            box->setCursorPosition(0);
            QApplication::processEvents();
            // the whole switch fits between the box's frame and margins
            QStyleOptionFrame frame;
            frame.initFrom(box);
            const QRect inside = box->style()->subElementRect(QStyle::SE_LineEditContents, &frame, box);
            EXPECT_GE(inside.width() - 4, box->fontMetrics().horizontalAdvance(sw))
                << settings::spec(k).name << " " << sw.toStdString();
        }
    }
}
