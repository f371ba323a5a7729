#pragma once
// What a document shows of its connection's own settings (the editor's keys
// of the connection string, see db/ConnectionProfile.h): the environment
// label before the window's caption ("[production] Query1 — …"), a dot of
// its colour as the window's icon (the window's title bar and tab show it),
// and a status panel with the label on its colour and "Read-only" for a
// read-only connection. It follows the document context's connection.

#include "db/ConnectionProfile.h"

#include <QObject>
#include <QString>

class DocumentContext;
class PanelStatusBar;
class QWidget;

class ConnectionBadge : public QObject {
    Q_OBJECT
public:
    ConnectionBadge(QWidget* document, const DocumentContext& context, PanelStatusBar* status, int panel);

    // "[label] " or empty, for the caption.
    QString captionPrefix() const;
    const db::ConnectionProfile& profile() const { return profile_; }

private:
    void update();

    QWidget* document_;
    const DocumentContext& context_;
    PanelStatusBar* status_;
    int panel_;
    db::ConnectionProfile profile_;
};
