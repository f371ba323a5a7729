// The template editor and the main window's template commands: captions,
// new and edited templates, groups added, renamed and deleted, and every
// command refused (with a message, changing nothing) when what it needs is
// not there.
#include "document/NavigationPanes.h"
#include "editor/SqlEditor.h"
#include "gui/TemplateFixture.h"
#include "templates/TemplateBrowser.h"
#include "templates/TemplateCommands.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidgetItemIterator>

namespace {
class TemplateEditorTest : public TemplateFixture {
protected:
    static void showGroup(TemplateEditor& e, const QString& title) {
        const int i = e.groupBox()->findText(title);
        ASSERT_GE(i, 0) << title.toStdString();
        e.groupBox()->setCurrentIndex(i);
    }
};
} // namespace

TEST_F(TemplateEditorTest, CaptionsAndANewTemplateUnderTheGroupChosenLast) {
    TemplateSelection::current().groupId = 30;
    TemplateEditor e;
    ASSERT_TRUE(e.prepare());
    EXPECT_EQ(e.windowTitle(), QStringLiteral("Templates"));
    EXPECT_TRUE(e.isModal());
    QStringList labels;
    for (QLabel* l : e.findChildren<QLabel*>())
        labels << l->text();
    for (const char* caption : {"Title:", "Group:", "Template:"})
        EXPECT_TRUE(labels.contains(QLatin1String(caption))) << caption;
    for (const char* caption : {"Ok", "Cancel", "Add", "Del", "Edt"})
        EXPECT_NE(e.button(QLatin1String(caption)), nullptr) << caption;
    EXPECT_FALSE(e.isEditing());
    EXPECT_EQ(comboTexts(e.groupBox()), (QStringList{"alpha", "Beta", "Empty", "Mine's 100%_"}));
    EXPECT_EQ(e.groupBox()->currentText(), QStringLiteral("Mine's 100%_"));
    EXPECT_TRUE(e.titleField()->text().isEmpty());
    EXPECT_EQ(e.codeEditor()->text(), QString());

    // no title: refused, still open
    e.codeEditor()->setText(QStringLiteral("SELECT '100%'\r\nFROM \"it's\";"));
    e.button(QStringLiteral("Ok"))->click();
    EXPECT_EQ(dialogs.messages.value(0), QStringLiteral("Type in a title for the template."));
    EXPECT_EQ(e.result(), 0);
    EXPECT_EQ(count("SELECT count(*) FROM templates"), 4);

    e.titleField()->setText(QStringLiteral("Quote ' and 100% _"));
    e.button(QStringLiteral("Ok"))->click();
    EXPECT_EQ(e.result(), int(QDialog::Accepted));
    ASSERT_TRUE(e.storedTemplateId().has_value());
    const auto rec = TemplateStore::loadTemplate(*e.storedTemplateId());
    ASSERT_TRUE(rec.ok());
    EXPECT_EQ(rec->title, QStringLiteral("Quote ' and 100% _"));
    EXPECT_EQ(rec->groupId, 30);
    EXPECT_EQ(rec->code, QStringLiteral("SELECT '100%'\r\nFROM \"it's\";"));
    EXPECT_EQ(TemplateSelection::current().templateId, rec->id);
}

TEST_F(TemplateEditorTest, NewItemFromTheMenusStoresAndRebuildsOnlyTheActiveTree) {
    openWindow();
    QueryDocument* first = window->activeDocument();
    window->action(QStringLiteral("mnuFileNew"))->trigger();
    QueryDocument* second = window->activeDocument();
    ASSERT_NE(first, second);
    window->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    ASSERT_EQ(window->activeDocument(), first);
    second->getTemplates(); // the other window's tree was read before the change

    // "Insert Template" in the Edit menu
    ASSERT_TRUE(inEditorOf(window->action(QStringLiteral("mnuTemplateNew2")), [&](TemplateEditor* e) {
        EXPECT_FALSE(e->isEditing());
        e->titleField()->setText(QStringLiteral("fresh"));
        showGroup(*e, QStringLiteral("Empty"));
        e->codeEditor()->setText(QStringLiteral("SELECT 'new';"));
        e->button(QStringLiteral("Ok"))->click();
    }));
    EXPECT_EQ(count("SELECT count(*) FROM templates WHERE title = 'fresh' AND \"group\" = 45"), 1);
    const QString key = TemplateBrowser::keyOf(first->parts().templates->currentItem());
    EXPECT_TRUE(key.startsWith(QStringLiteral("CC"))) << key.toStdString(); // the new one is shown
    EXPECT_EQ(first->parts().templates->currentItem()->text(0), QStringLiteral("fresh"));
    EXPECT_EQ(second->parts().templates->itemForKey(key), nullptr); // until that tree is rebuilt
    second->getTemplates();
    EXPECT_NE(second->parts().templates->itemForKey(key), nullptr);

    // "New Item" with Cancel stores nothing
    EXPECT_TRUE(inEditorOf(window->action(QStringLiteral("mnuTemplateNew")), [&](TemplateEditor* e) {
        e->titleField()->setText(QStringLiteral("dropped"));
        e->button(QStringLiteral("Cancel"))->click();
    }));
    EXPECT_EQ(count("SELECT count(*) FROM templates WHERE title = 'dropped'"), 0);
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(TemplateEditorTest, EditItemShowsAndKeepsTheTemplatesOwnGroup) {
    openWindow();
    QueryDocument* doc = window->activeDocument();
    TemplateBrowser* tree = doc->parts().templates;
    tree->choose(tree->itemForKey(QStringLiteral("C7")));  // a group chosen first...
    tree->choose(tree->itemForKey(QStringLiteral("CC1"))); // ...then a template of another group
    TemplateSelection::current().groupId = 7; // whatever the last group was, the template's own one counts

    ASSERT_TRUE(inEditorOf(window->action(QStringLiteral("mnuTemplateEdit")), [&](TemplateEditor* e) {
        EXPECT_TRUE(e->isEditing());
        EXPECT_EQ(e->groupBox()->currentText(), QStringLiteral("Beta"));
        EXPECT_EQ(e->titleField()->text(), QStringLiteral("b-one"));
        EXPECT_EQ(e->codeEditor()->text(), QStringLiteral("SELECT 1;"));
        e->titleField()->setText(QStringLiteral("b-one, edited"));
        e->button(QStringLiteral("Ok"))->click();
    }));
    const auto rec = TemplateStore::loadTemplate(1).value();
    EXPECT_EQ(rec.groupId, 12);
    EXPECT_EQ(rec.title, QStringLiteral("b-one, edited"));
    EXPECT_EQ(tree->itemForKey(QStringLiteral("CC1"))->text(0), QStringLiteral("b-one, edited"));
    EXPECT_EQ(count("SELECT count(*) FROM templates"), 4);

    // an edited template moves only when the user picks another group
    TemplateSelection::current().editMode = true;
    TemplateEditor e;
    ASSERT_TRUE(e.prepare());
    showGroup(e, QStringLiteral("alpha"));
    e.store();
    EXPECT_EQ(TemplateStore::loadTemplate(1)->groupId, 7);
}

TEST_F(TemplateEditorTest, EditItemAfterChoosingAGroupMakesANewTemplate) {
    openWindow();
    TemplateBrowser* tree = window->activeDocument()->parts().templates;
    tree->choose(tree->itemForKey(QStringLiteral("C45")));
    EXPECT_TRUE(inEditorOf(window->action(QStringLiteral("mnuTemplateEdit")), [&](TemplateEditor* e) {
        EXPECT_FALSE(e->isEditing());
        EXPECT_TRUE(e->titleField()->text().isEmpty());
        EXPECT_EQ(e->groupBox()->currentText(), QStringLiteral("Empty"));
        e->reject();
    }));
    EXPECT_FALSE(TemplateSelection::current().editMode);
}

TEST_F(TemplateEditorTest, CommandsOnAMissingTemplateOrGroupAreRefusedAndChangeNothing) {
    QWidget owner;
    // Delete Item with nothing chosen: a message, no question
    EXPECT_FALSE(templates::deleteItem(&owner));
    EXPECT_EQ(dialogs.messages.value(0), QStringLiteral("Choose a template in the template tree first."));
    EXPECT_TRUE(dialogs.questions.isEmpty());

    // a template deleted elsewhere since it was chosen
    TemplateSelection::current().templateId = 2;
    ResourceDb::open()->exec(QStringLiteral("DELETE FROM templates WHERE id = 2"));
    dialogs.answers = {Dialogs::Answer::Yes};
    EXPECT_FALSE(templates::deleteItem(&owner));
    EXPECT_TRUE(dialogs.messages.value(1).startsWith(QStringLiteral("Error: ")));
    EXPECT_FALSE(templates::editItem(&owner)); // refused before any window shows
    EXPECT_TRUE(dialogs.messages.value(2).contains(QStringLiteral("does not exist")));
    EXPECT_EQ(count("SELECT count(*) FROM templates"), 3);

    // no group shown: Ok, Del and Edt refuse
    TemplateSelection::current() = TemplateSelection{};
    TemplateEditor e;
    ASSERT_TRUE(e.prepare());
    ASSERT_EQ(e.groupBox()->currentIndex(), -1);
    e.titleField()->setText(QStringLiteral("t"));
    dialogs.messages.clear();
    e.store();
    e.deleteGroup();
    e.editGroup();
    EXPECT_EQ(dialogs.messages, QStringList(3, QStringLiteral("Choose a template group first.")));
    EXPECT_EQ(e.result(), 0);
    EXPECT_EQ(dialogs.unexpected, 0); // nothing was asked
    EXPECT_EQ(count("SELECT count(*) FROM template_types"), 4);
    EXPECT_EQ(count("SELECT count(*) FROM templates"), 3);
}

TEST_F(TemplateEditorTest, DeleteItemAsksThenDeletesAndRebuildsTheTree) {
    openWindow();
    TemplateBrowser* tree = window->activeDocument()->parts().templates;
    tree->choose(tree->itemForKey(QStringLiteral("CC3")));
    dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
    window->action(QStringLiteral("mnuTemplateDelete"))->trigger();
    EXPECT_EQ(count("SELECT count(*) FROM templates WHERE id = 3"), 1);
    window->action(QStringLiteral("mnuTemplateDelete"))->trigger();
    EXPECT_EQ(count("SELECT count(*) FROM templates WHERE id = 3"), 0);
    EXPECT_EQ(dialogs.questions, QStringList(2, QStringLiteral("Do you want to Delete the selected item?")));
    EXPECT_EQ(dialogs.questionTitles, QStringList(2, QStringLiteral("Delete Item")));
    EXPECT_EQ(tree->itemForKey(QStringLiteral("CC3")), nullptr);
    EXPECT_FALSE(TemplateSelection::current().templateId.has_value());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(TemplateEditorTest, GroupsAreAddedAndRenamedByExactNameAndReachTheTreeOnlyWithOk) {
    openWindow();
    TemplateBrowser* tree = window->activeDocument()->parts().templates;
    window->activeDocument()->parts().navigation->showTab(NavigationPanes::TemplatesTab); // read before the change
    ASSERT_TRUE(tree->isLoaded());
    ASSERT_TRUE(inEditorOf(window->action(QStringLiteral("mnuTemplateNew")), [&](TemplateEditor* e) {
        dialogs.inputs = {QStringLiteral("Yours 'quoted' 5%")};
        e->button(QStringLiteral("Add"))->click();
        EXPECT_EQ(e->groupBox()->currentText(),
                  QStringLiteral("Yours 'quoted' 5%")); // the new group is shown
        dialogs.inputs = {QStringLiteral("BETA")};      // another group's name: refused
        e->addGroup();
        dialogs.inputs = {QStringLiteral("   ")}; // nothing typed: nothing happens
        e->addGroup();
        showGroup(*e, QStringLiteral("Beta"));
        dialogs.inputs = {QStringLiteral("Beta, renamed")};
        e->button(QStringLiteral("Edt"))->click();
        EXPECT_EQ(e->groupBox()->currentText(), QStringLiteral("Beta, renamed"));
        e->button(QStringLiteral("Cancel"))->click();
    }));
    ASSERT_EQ(dialogs.inputsAsked.size(), 4u);
    EXPECT_EQ(dialogs.inputsAsked[0].title, QStringLiteral("Template Group"));
    EXPECT_EQ(dialogs.inputsAsked[0].prompt, QStringLiteral("Type in the new 'Template Group' name!"));
    EXPECT_EQ(dialogs.inputsAsked[0].defaultText, QString());
    EXPECT_EQ(dialogs.inputsAsked[3].title, QStringLiteral("Template Group"));
    EXPECT_EQ(dialogs.inputsAsked[3].prompt, QStringLiteral("Edit 'Template Group' name!"));
    EXPECT_EQ(dialogs.inputsAsked[3].defaultText, QStringLiteral("Beta"));
    EXPECT_EQ(dialogs.messages.size(), 1); // the refused duplicate
    EXPECT_TRUE(dialogs.messages.value(0).contains(QStringLiteral("already exists")));
    EXPECT_EQ(count("SELECT count(*) FROM template_types WHERE title = 'Yours ''quoted'' 5%'"), 1);
    EXPECT_EQ(TemplateStore::groupTitle(12).valueOr({}), QStringLiteral("Beta, renamed"));
    // Cancel: the tree keeps the old name until it is rebuilt
    EXPECT_EQ(tree->itemForKey(QStringLiteral("C12"))->text(0), QStringLiteral("Beta"));
    window->activeDocument()->getTemplates();
    EXPECT_EQ(tree->itemForKey(QStringLiteral("C12"))->text(0), QStringLiteral("Beta, renamed"));
}

TEST_F(TemplateEditorTest, AGroupWithTemplatesGoesOnlyTogetherWithThemWhenTheUserSaysSo) {
    TemplateEditor e;
    ASSERT_TRUE(e.prepare());
    showGroup(e, QStringLiteral("Empty"));
    dialogs.answers = {Dialogs::Answer::Yes};
    e.button(QStringLiteral("Del"))->click();
    EXPECT_EQ(count("SELECT count(*) FROM template_types WHERE id = 45"), 0);
    EXPECT_EQ(dialogs.questions.size(), 1); // an empty group needs one answer
    EXPECT_EQ(e.groupBox()->findText(QStringLiteral("Empty")), -1);

    showGroup(e, QStringLiteral("Beta"));
    dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::No}; // ...but not with its two templates
    e.deleteGroup();
    EXPECT_EQ(dialogs.questions.value(2),
              QStringLiteral("The group \"Beta\" holds 2 template(s). Delete them together with the group?"));
    EXPECT_EQ(count("SELECT count(*) FROM template_types WHERE id = 12"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM templates WHERE \"group\" = 12"), 2);
    EXPECT_EQ(e.groupBox()->currentText(), QStringLiteral("Beta"));

    dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    e.deleteGroup();
    EXPECT_EQ(count("SELECT count(*) FROM template_types WHERE id = 12"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM templates WHERE \"group\" = 12"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM templates"), 2); // the other groups' templates stay
    EXPECT_EQ(comboTexts(e.groupBox()), (QStringList{"alpha", "Mine's 100%_"}));
    EXPECT_EQ(e.groupBox()->currentIndex(), -1);
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(TemplateEditorTest, TheTextBeingEditedSurvivesTheDeletionOfItsGroup) {
    TemplateSelection::current().templateId = 3;
    TemplateSelection::current().editMode = true;
    TemplateEditor e;
    ASSERT_TRUE(e.prepare());
    ASSERT_TRUE(e.isEditing());
    e.codeEditor()->setText(QStringLiteral("SELECT 'my edit';"));
    dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    e.deleteGroup(); // "alpha", with template 3 in it
    EXPECT_FALSE(e.isEditing());
    showGroup(e, QStringLiteral("Beta"));
    e.store();
    EXPECT_EQ(e.result(), int(QDialog::Accepted));
    EXPECT_EQ(TemplateStore::templateCode(e.storedTemplateId().value_or(0)).valueOr({}),
              QStringLiteral("SELECT 'my edit';"));
}

TEST_F(TemplateEditorTest, EnterInTheScriptIsANewLineAndInTheTitleIsOk) {
    TemplateSelection::current().groupId = 7;
    TemplateEditor e;
    ASSERT_TRUE(e.prepare());
    e.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&e));
    e.codeEditor()->setFocus();
    QTest::keyClicks(e.codeEditor(), QStringLiteral("SELECT 1"));
    QTest::keyClick(e.codeEditor(), Qt::Key_Return);
    QTest::keyClicks(e.codeEditor(), QStringLiteral("FROM t"));
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(e.codeEditor()->text(), QStringLiteral("SELECT 1\r\nFROM t"));
    e.titleField()->setFocus();
    QTest::keyClicks(e.titleField(), QStringLiteral("typed"));
    QTest::keyClick(e.titleField(), Qt::Key_Return);
    EXPECT_EQ(e.result(), int(QDialog::Accepted));
    EXPECT_EQ(count("SELECT count(*) FROM templates WHERE title = 'typed' AND \"group\" = 7 "
                    "AND code = 'SELECT 1' || char(13,10) || 'FROM t'"),
              1);
}

TEST_F(TemplateEditorTest, TemplateCommandsWorkWithNoDocumentOpen) {
    openWindow();
    dialogs.answers = {Dialogs::Answer::No};
    window->action(QStringLiteral("mnuFileClose"))->trigger();
    ASSERT_TRUE(window->documents().isEmpty());
    // "Insert Template": the editor opens instead of nothing happening
    ASSERT_TRUE(inEditorOf(window->action(QStringLiteral("mnuTemplateNew2")), [&](TemplateEditor* e) {
        e->titleField()->setText(QStringLiteral("without a window"));
        showGroup(*e, QStringLiteral("Empty"));
        e->codeEditor()->setText(QStringLiteral("SELECT 'lonely';"));
        e->button(QStringLiteral("Ok"))->click();
    }));
    EXPECT_EQ(count("SELECT count(*) FROM templates WHERE title = 'without a window'"), 1);
    // the next document's tree has it
    window->action(QStringLiteral("mnuFileNew"))->trigger();
    QueryDocument* doc = window->activeDocument();
    ASSERT_NE(doc, nullptr);
    doc->parts().navigation->showTab(NavigationPanes::TemplatesTab);
    QStringList titles;
    for (QTreeWidgetItemIterator it(doc->parts().templates); *it; ++it) titles << (*it)->text(0);
    EXPECT_TRUE(titles.contains(QStringLiteral("without a window")));
    // with nothing chosen, Delete Item says why it does nothing
    TemplateSelection::current() = TemplateSelection{};
    window->action(QStringLiteral("mnuFileClose"))->trigger();
    ASSERT_TRUE(window->documents().isEmpty());
    window->action(QStringLiteral("mnuTemplateDelete"))->trigger();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Choose a template in the template tree first.")});
    EXPECT_EQ(dialogs.unexpected, 0);
}
