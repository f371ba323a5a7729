#pragma once
// The three nested tabs of "Execution Plan": the settings of the graphical
// tool (section ISQLW), of the command-line tool (ISQL) and of any other
// program (Other). Each page binds its controls to its section's keys.

class QWidget;
class SettingsBindings;

namespace options {

QWidget* isqlwPage(SettingsBindings& bindings, QWidget* parent);
QWidget* isqlPage(SettingsBindings& bindings, QWidget* parent);
QWidget* otherPage(SettingsBindings& bindings, QWidget* parent);

} // namespace options
