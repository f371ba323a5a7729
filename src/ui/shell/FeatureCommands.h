#pragma once
// The main window's commands that belong to a feature rather than to the
// window itself: the object pop-up, the template commands, the options
// dialog, the theme, help and about.

#include "shell/MainMenu.h"

#include <functional>

class QWidget;
class QueryDocument;

// Carries out command when it is a feature's; false for the window's own
// commands. active is the active document (may be null); activeNow gives it
// again after a modal dialog.
bool runFeatureCommand(QWidget* window, WindowCommand command, QueryDocument* active,
                       const std::function<QueryDocument*()>& activeNow);
