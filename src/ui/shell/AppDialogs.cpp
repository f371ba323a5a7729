#include "shell/AppDialogs.h"

#include "connections/ConnectionDialog.h"

std::optional<NewConnection> AppDialogs::newConnection(QWidget* parent, const QString& kind) {
    ConnectionDialog dialog(parent, kind == QLatin1String("ODBC") ? ConnectionDialog::OdbcDriver
                                                                 : ConnectionDialog::SqliteFile);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.result();
}
