#include "document/ParameterPrompt.h"

#include "common/Dialogs.h"

bool ParameterPrompt::ask(const QString& script, db::ServerFamily server,
                          std::optional<sqlscript::ParameterValues>& values) {
    values.reset();
    const sqlscript::ScriptParameters found = sqlscript::findParameters(script, server);
    if (found.empty()) return true;
    std::optional<sqlscript::ParameterValues> given = Dialogs::get().parameterValues(parent_, found.names(), remembered_);
    if (!given) return false;
    for (const auto& [name, value] : *given) remembered_[name] = value;
    values = std::move(given);
    return true;
}
