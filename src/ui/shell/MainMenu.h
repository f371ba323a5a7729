#pragma once
// The main window's menu bar and its three hidden pop-up menus, as one
// table: every entry's id, caption (with its & mnemonic) and key in each
// preset, in menu order. Entries whose parent is null are top-level menus;
// "-" entries are separators. The id also names the command's key in the
// [Keys] section of config.ini (see KeyMap).

#include "document/DocumentCommand.h"

#include <QString>

#include <variant>
#include <vector>

// Commands the main window carries out itself.
enum class WindowCommand {
    NewDocument, CloseDocument, Exit, ConnectionManager, QueryOnly, ResultsFullToggle, Cascade, TileHorizontal,
    TileVertical, ArrangeIcons, HelpContents, HelpOnline, About, Options, InsertTemplate, TemplateNew, TemplateEdit,
    TemplateDelete, ObjectInsert, ObjectBrowse, ObjectSelect, ObjectInsertScript, ObjectUpdate, ObjectDelete, ObjectDefinition,
    ObjectHelp, TemplateHelp, GridHelp, ThemeSystem, ThemeLight, ThemeDark, KeyboardShortcuts,
};

// What an entry does: nothing (a menu or separator), a command of the active
// document, or one of the window's own.
using MenuCommand = std::variant<std::monostate, DocumentCommand, WindowCommand>;

struct MenuEntry {
    const char* id;
    const char* caption;
    const char* shortcut; // the key of the "Classic" preset, QKeySequence text, "" for none
    const char* parent;   // id of the menu holding it, nullptr for a top-level menu
    MenuCommand command = {};
    // the key of the "Desktop standard" preset when it differs ("" for none)
    const char* desktopShortcut = nullptr;
};

const std::vector<MenuEntry>& mainMenuEntries();

// The hidden pop-up menus (not on the menu bar).
bool isHiddenPopup(const char* id);

// The caption of the "Online" help entry, with the web address.
QString onlineHelpCaption();
QString onlineHelpAddress();
