#include "document/UnfilteredQuestion.h"

#include "common/Dialogs.h"
#include "db/ConnectionString.h"
#include "script/UnfilteredChanges.h"

sqlscript::Dialect scriptDialect(const QString& connectionString) {
    const QString driver =
        db::ConnectionString(connectionString).value(QStringLiteral("Driver")).value_or(QString());
    const bool mysql = driver.contains(QLatin1String("mariadb"), Qt::CaseInsensitive) ||
                       driver.contains(QLatin1String("mysql"), Qt::CaseInsensitive);
    return mysql ? sqlscript::Dialect::MySql : sqlscript::Dialect::Generic;
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
