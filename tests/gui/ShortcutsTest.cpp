// Keyboard shortcuts as a user meets them: both presets without a clash,
// the dialog (a key typed into its field, a clash that moves a key only
// when the user agrees, the editor's own keys refused, a preset chosen),
// the keys saved to config.ini and read back by the next main window, and
// what the keys then do in a document.
#include "document/QueryDocument.h"
#include "editor/SqlEditor.h"
#include "settings/AppPaths.h"
#include "shell/KeyMap.h"
#include "shell/MainWindow.h"
#include "shell/ShortcutsDialog.h"
#include "support/Files.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/Typing.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QKeySequence key(const char* text) {
    return QKeySequence(QString::fromLatin1(text));
}

class ShortcutsTest : public ::testing::Test {
protected:
    TempHome home;
    ScriptedDialogs dialogs;
};

// Chooses a preset the way the user does: by picking it in the box.
void pickPreset(ShortcutsDialog& d, const QString& caption) {
    QComboBox* box = d.presetBox();
    const int i = box->findText(caption);
    ASSERT_GE(i, 0);
    box->setCurrentIndex(i);
    emit box->activated(i);
}

} // namespace

TEST_F(ShortcutsTest, NeitherPresetGivesAKeyTwiceOrTakesTheEditorsOwn) {
    for (KeyPreset preset : {KeyPreset::Classic, KeyPreset::Desktop}) {
        SCOPED_TRACE(KeyMap::presetName(preset).toStdString());
        const KeyMap m(preset);
        EXPECT_TRUE(m.clashes().isEmpty()) << m.clashes().join(QLatin1Char('\n')).toStdString();
        for (const MenuEntry* e : KeyMap::commands())
            EXPECT_TRUE(KeyMap::editorUseOf(m.key(QString::fromLatin1(e->id))).isEmpty()) << e->id;
    }
    // what each preset puts on the keys a desktop user expects
    const struct {
        const char* id;
        const char* classic;
        const char* desktop;
    } rows[] = {
        {"mnuOpenNew", "", "Ctrl+O"},
        {"mnuFileClose", "Shift+Ctrl+F1", "Ctrl+W"},
        {"mnuFileExit", "", "Ctrl+Q"},
        {"mnuFilePrint", "", "Ctrl+P"},
        {"mnuEditRedo", "Ctrl+Y", "Ctrl+Shift+Z"},
        {"mnuObjects2", "Ctrl+O", "Ctrl+3"},
        {"mnuResHideShow", "Ctrl+W", "Ctrl+J"},
        {"mnuSetfQ", "Ctrl+Q", "Ctrl+1"},
        {"mnuSFR", "Ctrl+P", "Ctrl+2"},
        {"mnuQExecute", "F5", "F5"},
    };
    const KeyMap classic(KeyPreset::Classic), desktop(KeyPreset::Desktop);
    for (const auto& r : rows) {
        EXPECT_EQ(classic.key(QLatin1String(r.id)), key(r.classic)) << r.id;
        EXPECT_EQ(desktop.key(QLatin1String(r.id)), key(r.desktop)) << r.id;
    }
}

TEST_F(ShortcutsTest, TheDialogListsEveryCommandWithItsKeyAndTheEditorsOwnKeys) {
    ShortcutsDialog d{KeyMap(KeyPreset::Classic)};
    EXPECT_EQ(d.presetBox()->currentText(), QStringLiteral("Classic"));
    for (const MenuEntry* e : KeyMap::commands())
        EXPECT_EQ(d.shownKey(QString::fromLatin1(e->id)),
                  KeyMap::presetKey(*e, KeyPreset::Classic).toString(QKeySequence::NativeText))
            << e->id;
    EXPECT_EQ(d.shownKey(QStringLiteral("mnuEditRedo")), QStringLiteral("Ctrl+Y"));
    const QList<QTreeWidgetItem*> own =
        d.commandList()->findItems(QStringLiteral("Code Sense"), Qt::MatchExactly, 0);
    ASSERT_FALSE(own.isEmpty());
    const QTreeWidgetItem* editorRow = own.last(); // the menu's "Code Sense" (F6) comes first
    EXPECT_EQ(editorRow->text(2), QStringLiteral("Ctrl+Space"));
    EXPECT_FALSE(editorRow->flags() & Qt::ItemIsEnabled);
}

TEST_F(ShortcutsTest, AKeyPressedInTheKeyFieldGoesToTheSelectedCommand) {
    ShortcutsDialog d{KeyMap(KeyPreset::Classic)};
    d.show();
    d.select(QStringLiteral("mnuOpenAppend"));
    d.keyField()->setFocus();
    QSignalSpy finished(d.keyField(), &QKeySequenceEdit::editingFinished);
    QTest::keyClick(d.keyField(), Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_TRUE(finished.wait(3000));
    EXPECT_EQ(d.shownKey(QStringLiteral("mnuOpenAppend")), QStringLiteral("Ctrl+Alt+K"));
    EXPECT_EQ(d.keyMap().key(QStringLiteral("mnuOpenAppend")), key("Ctrl+Alt+K"));
    EXPECT_TRUE(dialogs.questions.isEmpty()); // a free key needs no question
}

TEST_F(ShortcutsTest, AKeyAnotherCommandHoldsMovesOnlyWhenTheUserAgrees) {
    ShortcutsDialog d{KeyMap(KeyPreset::Classic)};
    dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
    EXPECT_FALSE(d.assign(QStringLiteral("mnuOpenNew"), key("Ctrl+N")));
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions[0],
              QStringLiteral("Ctrl+N is the key of \"New\" (File). Give it to \"Open New\" instead?"));
    EXPECT_EQ(d.shownKey(QStringLiteral("mnuFileNew")), QStringLiteral("Ctrl+N"));
    EXPECT_EQ(d.shownKey(QStringLiteral("mnuOpenNew")), QString());

    EXPECT_TRUE(d.assign(QStringLiteral("mnuOpenNew"), key("Ctrl+N")));
    EXPECT_EQ(d.shownKey(QStringLiteral("mnuOpenNew")), QStringLiteral("Ctrl+N"));
    EXPECT_EQ(d.shownKey(QStringLiteral("mnuFileNew")), QString());
    EXPECT_EQ(d.notice()->text(), QStringLiteral("\"New\" has no key now."));
    EXPECT_TRUE(d.keyMap().clashes().isEmpty());

    // the editor's own keys are refused with a word why
    EXPECT_FALSE(d.assign(QStringLiteral("mnuQExecute"), key("Ctrl+Space")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0],
              QStringLiteral("Ctrl+Space is kept by the editor for Code Sense. Choose another key."));
    EXPECT_EQ(d.shownKey(QStringLiteral("mnuQExecute")), QStringLiteral("F5"));
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(ShortcutsTest, ChoosingAPresetAsksBeforeItReplacesTheUsersKeys) {
    ShortcutsDialog d{KeyMap(KeyPreset::Classic)};
    pickPreset(d, QStringLiteral("Desktop standard")); // nothing changed yet: no question
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(d.shownKey(QStringLiteral("mnuFileExit")), QStringLiteral("Ctrl+Q"));
    EXPECT_EQ(d.shownKey(QStringLiteral("mnuEditRedo")), QStringLiteral("Ctrl+Shift+Z"));

    ASSERT_TRUE(d.assign(QStringLiteral("mnuFileExit"), key("Ctrl+Alt+Q")));
    dialogs.answers = {Dialogs::Answer::No};
    pickPreset(d, QStringLiteral("Classic"));
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(d.presetBox()->currentText(), QStringLiteral("Desktop standard"));
    EXPECT_EQ(d.keyMap().key(QStringLiteral("mnuFileExit")), key("Ctrl+Alt+Q"));
}

TEST_F(ShortcutsTest, OkKeepsOnlyTheChangesAndTheNextReadGetsTheSameKeys) {
    writeFile(AppPaths::configFile(),
              "; mine\n[OPTIONS]\nfont=Mono\n\n[Keys]\nmnuWindowCascade=Ctrl+Alt+C\n");
    ShortcutsDialog d{KeyMap::saved()};
    EXPECT_EQ(d.shownKey(QStringLiteral("mnuWindowCascade")), QStringLiteral("Ctrl+Alt+C"));
    dialogs.answers = {Dialogs::Answer::Yes}; // the preset replaces the changed key
    pickPreset(d, QStringLiteral("Desktop standard"));
    ASSERT_TRUE(d.assign(QStringLiteral("mnuQueryStop"), key("Ctrl+.")));
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const QByteArray file = readFile(AppPaths::configFile());
    EXPECT_TRUE(file.startsWith("; mine\n[OPTIONS]\nfont=Mono\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("preset=desktop\n"));
    EXPECT_TRUE(file.contains("mnuQueryStop=Ctrl+.\n"));
    EXPECT_TRUE(file.contains("mnuWindowCascade=\n")); // back at the preset's key: no value
    EXPECT_FALSE(file.contains("mnuFileExit")) << "keys at the preset stay out of the file";
    EXPECT_TRUE(KeyMap::saved() == d.keyMap());
}

TEST_F(ShortcutsTest, HandEditedKeysThatCannotBeUsedAreIgnored) {
    writeFile(AppPaths::configFile(),
              "[keys]\nPRESET=Desktop\nmnuFileExit=Ctrl+Nonsense\nmnuQExecute=Ctrl+Space\n"
              "mnufilenew=Ctrl+W\nmnuWindowCascade=Ctrl+W\nmnuFilePrint=none\n");
    const KeyMap m = KeyMap::saved();
    EXPECT_EQ(m.preset(), KeyPreset::Desktop);
    EXPECT_EQ(m.key(QStringLiteral("mnuFileExit")), key("Ctrl+Q")); // unreadable: the preset's key
    EXPECT_EQ(m.key(QStringLiteral("mnuQExecute")), key("F5"));     // the editor's own: refused
    EXPECT_EQ(m.key(QStringLiteral("mnuFileNew")), key("Ctrl+W"));  // taken from Close
    EXPECT_EQ(m.key(QStringLiteral("mnuFileClose")), QKeySequence());
    EXPECT_EQ(m.key(QStringLiteral("mnuWindowCascade")), QKeySequence()); // the first change keeps it
    EXPECT_EQ(m.key(QStringLiteral("mnuFilePrint")), QKeySequence());
    EXPECT_TRUE(m.clashes().isEmpty());
}

TEST_F(ShortcutsTest, KeysThatCannotBeSavedKeepTheDialogOpen) {
    QFile::remove(AppPaths::configFile());
    ASSERT_TRUE(QDir().mkpath(AppPaths::configFile())); // nothing can replace a folder
    ShortcutsDialog d{KeyMap(KeyPreset::Classic)};
    d.show();
    ASSERT_TRUE(d.assign(QStringLiteral("mnuOpenAppend"), key("Ctrl+Alt+A")));
    d.accept();
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("The keys could not be saved: ")));
}

namespace {

class ShortcutsInWindowTest : public MainWindowFixture {
protected:
    // Runs the Keyboard Shortcuts command and, inside its dialog, what the user does.
    void editKeys(const std::function<void(ShortcutsDialog&)>& user) {
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<ShortcutsDialog*>(w); d && d->isVisible()) {
                    user(*d);
                    return;
                }
            ADD_FAILURE() << "no Keyboard Shortcuts dialog";
        });
        window->action(QStringLiteral("mnuKeyboard"))->trigger();
        activate();
    }
};

} // namespace

TEST_F(ShortcutsInWindowTest, TheDesktopPresetWorksAtOnceAndAtTheNextStart) {
    openWindow();
    // Classic: Ctrl+W in the script is Hide/Show Full (not the document window's own close)
    window->activeDocument()->editor()->setFocus();
    QTest::keyClick(window->activeDocument()->editor(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(window->resultsFullView());
    ASSERT_EQ(window->documents().size(), 1);

    editKeys([](ShortcutsDialog& d) {
        pickPreset(d, QStringLiteral("Desktop standard"));
        d.accept();
    });
    EXPECT_EQ(window->action(QStringLiteral("mnuFileClose"))->shortcut(), key("Ctrl+W"));
    EXPECT_EQ(window->action(QStringLiteral("mnuResHideShow"))->shortcut(), key("Ctrl+J"));

    // Ctrl+Shift+Z in the script redoes what Ctrl+Z undid
    SqlEditor* editor = window->activeDocument()->editor();
    editor->setFocus();
    replaceScript(editor, QStringLiteral("SELECT 1"));
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->text(), QString());
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->text(), QStringLiteral("SELECT 1"));

    // and the next start has the same keys: Ctrl+W closes the document
    closeWindow();
    openWindow();
    EXPECT_EQ(window->action(QStringLiteral("mnuFileExit"))->shortcut(), key("Ctrl+Q"));
    ASSERT_EQ(window->documents().size(), 1);
    window->activeDocument()->editor()->setFocus();
    QTest::keyClick(window->activeDocument()->editor(), Qt::Key_W, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(window->documents().isEmpty());
}

TEST_F(ShortcutsInWindowTest, AKeyTheScriptEditorUsedGoesToTheMenuCommandGivenIt) {
    openWindow();
    // Ctrl+D duplicates a line in the editor until a menu command takes it
    editKeys([](ShortcutsDialog& d) {
        d.assign(QStringLiteral("mnuWindowCascade"), key("Ctrl+D"));
        d.accept();
    });
    SqlEditor* editor = window->activeDocument()->editor();
    editor->setFocus();
    replaceScript(editor, QStringLiteral("SELECT 1"));
    QSignalSpy cascade(window->action(QStringLiteral("mnuWindowCascade")), &QAction::triggered);
    QTest::keyClick(editor, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(cascade.count(), 1);
    EXPECT_EQ(editor->text(), QStringLiteral("SELECT 1"));

    // and Edit > Redo is on the menu, redoing in the script
    editor->setFocus(); // arranging the windows moved the focus
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(editor->text(), QString());
    window->action(QStringLiteral("mnuEditRedo"))->trigger();
    EXPECT_EQ(editor->text(), QStringLiteral("SELECT 1"));
}
