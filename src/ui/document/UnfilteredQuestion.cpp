#include "document/UnfilteredQuestion.h"

#include "common/Dialogs.h"
#include "db/ServerFamily.h"
#include "script/UnfilteredChanges.h"

sqlscript::Dialect scriptDialect(const QString& connectionString) {
    return sqlscript::dialectOf(db::familyOfConnectionString(connectionString));
}

bool confirmUnfilteredChanges(QWidget* parent, const QString& script, const QString& connectionString,
                              const settings::Snapshot& options) {
    if (!options.flag(settings::Key::ConfirmUnfiltered)) return true;
    const auto changes = sqlscript::findUnfilteredChanges(script, scriptDialect(connectionString));
    if (changes.empty()) return true;
    return Dialogs::get().question(parent, sqlscript::unfilteredQuestion(changes),
                                   QStringLiteral("Execute Query"),
                                   Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
}
