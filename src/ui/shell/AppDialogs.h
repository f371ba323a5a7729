#pragma once
// The dialogs the program installs at start: the plain Qt dialogs plus the
// connection dialog.

#include "common/Dialogs.h"

class AppDialogs : public QtDialogs {
public:
    std::optional<NewConnection> newConnection(QWidget* parent, ConnectionKind kind) override;
};
