#include "shell/MainStatusBar.h"

#include "common/LockKeys.h"
#include "common/ResourceIcon.h"
#include "editor/SqlEditor.h"

#include <QIcon>

MainStatusBar::MainStatusBar(QWidget* window) : PanelStatusBar(7, MessagePanel, window) {
    setObjectName(QStringLiteral("mainStatus"));
    setToolTip(QStringLiteral("The status bar displays current status and informs you of errors."));
    setWindowCount(0);
    setPanelIcon(BusyPanel, common::resourceIcon(QStringLiteral("idle")));
    // Only the file panel opens what it shows; the others are states, not addresses.
    connect(this, &PanelStatusBar::panelDoubleClicked, this, [this](int panel) {
        if (panel == FilePanel && !panelText(FilePanel).isEmpty()) emit fileOpenRequested(panelText(FilePanel));
    });
}

void MainStatusBar::setWindowCount(int count) {
    setPanelText(WindowsPanel, QStringLiteral("Connections: %1").arg(count));
    setPanelToolTip(WindowsPanel, QStringLiteral("Connections: %1").arg(count));
}

void MainStatusBar::setBusy(bool busy, const QString& text) {
    setPanelIcon(BusyPanel, common::resourceIcon(busy ? QStringLiteral("busy") : QStringLiteral("idle")));
    setPanelText(MessagePanel, text);
}

void MainStatusBar::updateKeyPanels(const SqlEditor* editor) {
    setPanelText(CapsPanel, common::capsLockOn().value_or(false) ? QStringLiteral("CAPS") : QString());
    setPanelText(NumPanel, common::numLockOn().value_or(false) ? QStringLiteral("NUM") : QString());
    setPanelText(InsertPanel, !editor ? QString() : editor->overwriteMode() ? QStringLiteral("OVR") : QStringLiteral("INS"));
}
