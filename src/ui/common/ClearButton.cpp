#include "common/ClearButton.h"

#include <QLineEdit>

namespace common {

void clearButtonWhenTyped(QLineEdit* edit) {
    if (!edit->text().isEmpty()) {
        edit->setClearButtonEnabled(true);
        return;
    }
    // the connection removes itself once the button is there
    auto* guard = new QObject(edit);
    QObject::connect(edit, &QLineEdit::textChanged, guard, [edit, guard](const QString& text) {
        if (text.isEmpty()) return;
        edit->setClearButtonEnabled(true);
        guard->deleteLater();
    });
}

} // namespace common
