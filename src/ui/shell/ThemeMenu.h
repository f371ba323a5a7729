#pragma once
// View > Theme: System, Light and Dark as a ticked group. At start the
// choice kept in config.ini is applied; choosing an entry applies it at once
// and keeps it there (the options dialog edits the same setting).

#include "common/Theme.h"

class MainWindow;
class QWidget;

namespace shell {

// Applies the saved choice, lets System follow the window's palette and
// ticks the entry in use whenever the menu opens.
void attachThemeMenu(MainWindow* window);
// Uses choice now and writes it to config.ini; a failed write is said.
void chooseTheme(QWidget* window, Theme::Choice choice);
// Applies the choice config.ini holds now.
void applySavedTheme();

} // namespace shell
