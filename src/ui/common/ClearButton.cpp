#include "common/ClearButton.h"

#include <QLineEdit>

namespace common {

void clearButtonWhenTyped(QLineEdit* edit) {
    if (!edit->text().isEmpty()) {
        edit->setClearButtonEnabled(true);
        return;
    }
    // from empty, the first change of the text is always to some text
    QObject::connect(
        edit, &QLineEdit::textChanged, edit, [edit] { edit->setClearButtonEnabled(true); },
        Qt::SingleShotConnection);
}

} // namespace common
