#include "document/ParameterPrompt.h"

#include "common/Dialogs.h"

bool ParameterPrompt::ask(const QString& script, db::ServerFamily server,
                          std::optional<script::ParameterValues>& values) {
    values.reset();
    const script::ScriptParameters found = script::findParameters(script, server);
    if (found.empty()) return true;
    std::optional<script::ParameterValues> given = Dialogs::get().parameterValues(parent_, found.names(), remembered_);
    if (!given) return false;
    for (const auto& [name, value] : *given) remembered_[name] = value;
    values = std::move(given);
    return true;
}
