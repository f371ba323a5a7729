#include "shell/AppDialogs.h"

#include "connections/ConnectionDialog.h"

std::optional<NewConnection> AppDialogs::newConnection(QWidget* parent, ConnectionKind kind) {
    ConnectionDialog dialog(parent, kind);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.result();
}
