#pragma once
// The main window's status bar: the active document's file, the window
// count ("Connections: N"), Caps Lock, Num Lock, the editor's insert or
// overwrite mode, the busy picture and the status text of a run.

#include "common/PanelStatusBar.h"

class SqlEditor;

class MainStatusBar : public PanelStatusBar {
    Q_OBJECT
public:
    enum Panel { FilePanel = 1, WindowsPanel = 2, CapsPanel = 3, NumPanel = 4, InsertPanel = 5, BusyPanel = 6,
                 MessagePanel = 7 };

    explicit MainStatusBar(QWidget* window);

    void setFileName(const QString& fileName) { setPanelText(FilePanel, fileName); }
    void setWindowCount(int count);
    void setBusy(bool busy, const QString& text);
    // Caps Lock and Num Lock when on (empty when off or unknown), and the
    // given editor's INS/OVR mode (empty without an editor).
    void updateKeyPanels(const SqlEditor* activeEditor);

signals:
    // A double-click on the file panel: the file to open.
    void fileOpenRequested(const QString& fileName);
};
