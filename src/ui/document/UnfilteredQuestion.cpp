#include "document/UnfilteredQuestion_p.h"

#include "common/Dialogs.h"
#include "script/UnfilteredChanges.h"

bool confirmUnfilteredChanges(QWidget* parent, const QString& script, sqlscript::Dialect dialect,
                              const settings::Snapshot& options) {
    if (!options.flag(settings::Key::ConfirmUnfiltered)) return true;
    const auto changes = sqlscript::findUnfilteredChanges(script, dialect);
    if (changes.empty()) return true;
    return Dialogs::get().question(parent, sqlscript::unfilteredQuestion(changes),
                                   QStringLiteral("Execute Query"),
                                   Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
}
