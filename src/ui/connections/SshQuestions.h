#pragma once
// The questions of SSH tunnels (net::SshPrompts) asked in the editor's
// dialogs (through the Dialogs seam), on the UI thread, whichever thread
// opens the connection: whether to trust a jump host's unknown key, shown
// with its fingerprints, and a key file's passphrase, typed unseen.
// Installed by the program at start, for as long as it lives.

#include "net/SshPrompts.h"

#include <QPointer>
#include <QWidget>

class SshQuestions : public net::SshPrompts {
public:
    // window: the parent of the questions (may be null).
    explicit SshQuestions(QWidget* window);
    ~SshQuestions() override;

    bool trustHostKey(const QString& host, const QString& fingerprints) override;
    std::optional<QString> passphrase(const QString& keyFile) override;

private:
    QPointer<QWidget> window_;
};
