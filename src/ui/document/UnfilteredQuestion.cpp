#include "document/UnfilteredQuestion.h"

#include "common/Dialogs.h"
#include "db/ConnectionString.h"
#include "script/UnfilteredChanges.h"

sqlscript::Dialect scriptDialect(const QString& connectionString) {
    // the drivers the native MariaDB backend also serves
    return db::ConnectionString(connectionString).server() == db::ConnectionString::Server::MariaDB
               ? sqlscript::Dialect::MySql
               : sqlscript::Dialect::Generic;
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
