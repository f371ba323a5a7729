#include "document/UnfilteredQuestion_p.h"

#include "common/Dialogs.h"
#include "db/ConnectionProfile.h"
#include "script/DataChanges.h"
#include "script/UnfilteredChanges.h"

bool confirmUnfilteredChanges(QWidget* parent, const QString& script, script::Dialect dialect,
                              const settings::Snapshot& options) {
    if (!options.flag(settings::Key::ConfirmUnfiltered)) return true;
    const auto changes = script::findUnfilteredChanges(script, dialect);
    if (changes.empty()) return true;
    return Dialogs::get().question(parent, script::unfilteredQuestion(changes),
                                   QStringLiteral("Execute Query"),
                                   Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
}

bool confirmDataChanges(QWidget* parent, const QString& script, const QString& connectionString,
                        script::Dialect dialect) {
    const db::ConnectionProfile profile = db::ConnectionProfile::of(connectionString);
    if (!profile.confirmChanges) return true;
    const auto changes = script::findDataChanges(script, dialect);
    if (changes.empty()) return true;
    const QString where = profile.environment.isEmpty() ? QStringLiteral("a connection that asks before changes")
                                                        : profile.environment;
    return Dialogs::get().question(parent,
                                   QStringLiteral("This window is connected to %1.\n%2\n\nRun it?")
                                       .arg(where, script::dataChangeSummary(changes)),
                                   QStringLiteral("Execute Query"), Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
}
