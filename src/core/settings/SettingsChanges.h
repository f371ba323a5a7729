#pragma once
// Tells whoever listens that config.ini was written through settings::write
// (the options dialog's OK, a test): open documents and their editor
// features read the new values then, instead of only at creation.

#include <QObject>

namespace settings {

class Changes : public QObject {
    Q_OBJECT
public:
    // The one notifier of the program (lives on the thread that first asks).
    static Changes& instance();

signals:
    // Emitted after a write, from the writing thread.
    void changed();
};

} // namespace settings
