#pragma once
// The Window menu's arrangements of the MDI documents: cascade, horizontal
// bands, vertical columns, and minimised windows in a row along the bottom.

#include "shell/MainMenu.h"

class QMdiArea;

// how is Cascade, TileHorizontal, TileVertical or ArrangeIcons.
void arrangeSubWindows(QMdiArea* mdi, WindowCommand how);
