// The template tree of a document: what it shows, what choosing a node
// remembers (program-wide), appending a template to the script, and the
// pop-up menu through the main window.
#include "templates/TemplateBrowser.h"

#include "document/NavigationPanes.h"
#include "editor/SqlEditor.h"
#include "gui/TemplateFixture.h"
#include "store/TemplateTree.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

namespace {
class TemplateBrowserTest : public TemplateFixture {
protected:
    static QTreeWidgetItem* node(TemplateBrowser* tree, const QString& key) {
        QTreeWidgetItem* item = tree->itemForKey(key);
        EXPECT_NE(item, nullptr) << key.toStdString();
        return item;
    }
    static void click(TemplateBrowser* tree, QTreeWidgetItem* item) {
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }
    static void doubleClick(TemplateBrowser* tree, QTreeWidgetItem* item) {
        click(tree, item);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }
};
} // namespace

TEST_F(TemplateBrowserTest, GroupsByTitleTemplatesInTableOrderAndStrandedOnesUnderNoGroup) {
    QueryDocument doc;
    TemplateBrowser* tree = doc.parts().templates;
    EXPECT_EQ(doc.parts().navigation->pane(NavigationPanes::TemplatesTab), tree);
    EXPECT_EQ(tree->topLevelItemCount(), 0); // read when its tab is first shown
    doc.parts().navigation->showTab(NavigationPanes::TemplatesTab);
    doc.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&doc));
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("Templates"));
    EXPECT_EQ(TemplateBrowser::keyOf(root), QStringLiteral("MYROOT"));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(childTexts(root), (QStringList{"alpha", "Beta", "Empty", "Mine's 100%_"}));
    EXPECT_EQ(childTexts(node(tree, QStringLiteral("C12"))),
              (QStringList{"b-one", "b-two"})); // table (id) order
    EXPECT_EQ(childTexts(node(tree, QStringLiteral("C30"))), (QStringList{"It's 50% \"done\""}));
    EXPECT_EQ(node(tree, QStringLiteral("C45"))->childCount(), 0);

    // A template whose group is gone stays visible, and the next rebuild shows it.
    ResourceDb::open()->exec(QStringLiteral("DELETE FROM template_types WHERE id = 7"));
    doc.getTemplates();
    root = tree->topLevelItem(0);
    EXPECT_EQ(childTexts(root), (QStringList{"Beta", "Empty", "Mine's 100%_", "(No group)"}));
    EXPECT_EQ(childTexts(node(tree, QStringLiteral("NOGROUP"))), (QStringList{"a-only"}));
    EXPECT_EQ(count("SELECT count(*) FROM templates"), 4);

    // An unreadable library says so instead of looking empty.
    ResourceDb::open()->exec(QStringLiteral("DROP TABLE templates"));
    doc.getTemplates();
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 1);
    EXPECT_TRUE(tree->topLevelItem(0)->child(0)->text(0).startsWith(
        QStringLiteral("The templates could not be read")));
}

TEST_F(TemplateBrowserTest, ChoosingANodeIsRememberedProgramWideAndAGroupLeafIsNoTemplate) {
    QueryDocument first;
    QueryDocument second;
    first.resize(900, 600);
    first.show();
    second.show();
    TemplateBrowser* a = first.parts().templates;
    TemplateBrowser* b = second.parts().templates;
    first.parts().navigation->showTab(NavigationPanes::TemplatesTab);
    second.parts().navigation->showTab(NavigationPanes::TemplatesTab);
    TemplateSelection& chosen = TemplateSelection::current();

    node(a, QStringLiteral("C12"))->setExpanded(true);
    click(a, node(a, QStringLiteral("CC1")));
    EXPECT_EQ(chosen.templateId, 1);
    EXPECT_EQ(chosen.groupId, 12);

    b->choose(node(b, QStringLiteral("C7"))); // the other document's tree changes the one state
    EXPECT_FALSE(chosen.templateId.has_value());
    EXPECT_EQ(chosen.groupId, 7);

    // "C12" without its group: no children, yet a group (dropping two characters would read template 2)
    ResourceDb::open()->exec(QStringLiteral("DELETE FROM templates WHERE \"group\" = 12"));
    first.getTemplates();
    QTreeWidgetItem* leaf = node(a, QStringLiteral("C12"));
    EXPECT_EQ(leaf->childCount(), 0);
    first.editor()->setText(QStringLiteral("keep"));
    doubleClick(a, leaf);
    EXPECT_EQ(first.editor()->text(), QStringLiteral("keep"));
    EXPECT_FALSE(chosen.templateId.has_value());
    EXPECT_EQ(chosen.groupId, 12);

    a->choose(a->topLevelItem(0)); // the root is no group
    EXPECT_FALSE(chosen.groupId.has_value());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    first.setChanged(false);
    second.setChanged(false);
}

TEST_F(TemplateBrowserTest, DoubleClickAppendsAfterTheLastLineWhateverIsSelected) {
    QueryDocument doc;
    doc.resize(900, 600);
    doc.show();
    doc.parts().navigation->showTab(NavigationPanes::TemplatesTab);
    TemplateBrowser* tree = doc.parts().templates;
    SqlEditor* editor = doc.editor();
    editor->setText(QStringLiteral("SELECT 0\r\nFROM zero"));
    editor->setSelection(0, 0, 0, 6); // "SELECT" selected: not replaced
    node(tree, QStringLiteral("C12"))->setExpanded(true);
    doubleClick(tree, node(tree, QStringLiteral("CC2")));
    EXPECT_EQ(editor->text(), QStringLiteral("SELECT 0\r\nFROM zero\r\nSELECT 2\r\nFROM two;\r\n"));
    int line = -1, column = -1;
    editor->getCursorPosition(&line, &column);
    EXPECT_EQ(line, editor->lines() - 1); // the empty line after the inserted text
    EXPECT_EQ(column, 0);
    EXPECT_FALSE(editor->hasSelectedText());
    EXPECT_EQ(TemplateSelection::current().templateId, 2);

    // Enter does the same; stored LF breaks arrive as the editor's CR LF.
    editor->setText(QString());
    node(tree, QStringLiteral("C7"))->setExpanded(true);
    tree->setFocus();
    tree->setCurrentItem(node(tree, QStringLiteral("CC3")));
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(editor->text(), QStringLiteral("SELECT 3\r\nFROM lf_only;\r\n")); // no blank line before it
    // after a script that ends with a line break: straight on the empty last line
    doubleClick(tree, node(tree, QStringLiteral("CC2")));
    EXPECT_EQ(editor->text(), QStringLiteral("SELECT 3\r\nFROM lf_only;\r\nSELECT 2\r\nFROM two;\r\n"));

    // A template deleted since the tree was built: the script stays as it is.
    ResourceDb::open()->exec(QStringLiteral("DELETE FROM templates WHERE id = 4"));
    node(tree, QStringLiteral("C30"))->setExpanded(true);
    const QString before = editor->text();
    tree->activate(node(tree, QStringLiteral("CC4")));
    EXPECT_EQ(editor->text(), before);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("does not exist")));
    doc.setChanged(false);
}

TEST_F(TemplateBrowserTest, RightClickChoosesTheNodeAndOpensTheTemplatesPopUp) {
    openWindow();
    QueryDocument* doc = window->activeDocument();
    doc->parts().navigation->showTab(NavigationPanes::TemplatesTab);
    TemplateBrowser* tree = doc->parts().templates;
    node(tree, QStringLiteral("C12"))->setExpanded(true);
    QTreeWidgetItem* item = node(tree, QStringLiteral("CC1"));
    tree->scrollToItem(item);
    QSignalSpy popups(doc, &QueryDocument::popupRequested);
    emit tree->customContextMenuRequested(tree->visualItemRect(item).center());
    ASSERT_EQ(popups.size(), 1);
    EXPECT_EQ(popups[0][0].value<PopupMenu>(), PopupMenu::Templates);
    EXPECT_EQ(TemplateSelection::current().templateId, 1);
    EXPECT_EQ(tree->currentItem(), item);

    QMenu* menu = window->menu(QStringLiteral("mnuTemplate"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    QStringList entries;
    for (QAction* a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(entries, (QStringList{"New Item", "Edit Item", "-", "Delete Item", "-", "Help"}));
    menu->hide();
    window->action(QStringLiteral("mnuTemplateHelp"))->trigger(); // no help topic yet: nothing happens
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // "Templates (Tab)" brings the tree forward with the focus
    doc->parts().navigation->showTab(NavigationPanes::ObjectsTab);
    window->action(QStringLiteral("mnuSetTa"))->trigger();
    EXPECT_EQ(doc->parts().navigation->currentWidget(), tree);
}
