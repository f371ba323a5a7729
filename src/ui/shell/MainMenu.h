#pragma once
// The main window's menu bar and its three hidden pop-up menus, as one
// table: every entry's id, caption (with its & mnemonic) and shortcut, in
// menu order. Entries whose parent is null are top-level menus; "-" entries
// are separators.

#include <QString>

#include <vector>

struct MenuEntry {
    const char* id;
    const char* caption;
    const char* shortcut; // QKeySequence text, "" for none
    const char* parent;   // id of the menu holding it, nullptr for a top-level menu
};

const std::vector<MenuEntry>& mainMenuEntries();

// The hidden pop-up menus (not on the menu bar).
bool isHiddenPopup(const char* id);

// The caption of the "Online" help entry, with the web address.
QString onlineHelpCaption();
QString onlineHelpAddress();
