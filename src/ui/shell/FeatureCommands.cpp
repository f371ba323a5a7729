#include "shell/FeatureCommands.h"

#include "catalog/ObjectScripter.h"
#include "common/Dialogs.h"
#include "document/QueryDocument.h"
#include "help/Help.h"
#include "options/OptionsDialog.h"
#include "shell/Shell.h"
#include "shell/ThemeMenu.h"
#include "templates/TemplateCommands.h"

#include <QApplication>

namespace {

// The object pop-up's commands as the document's scripting commands.
std::optional<ObjectCommand> objectCommand(WindowCommand command) {
    switch (command) {
    case WindowCommand::ObjectInsert: return ObjectCommand::InsertObject;
    case WindowCommand::ObjectBrowse: return ObjectCommand::Browse;
    case WindowCommand::ObjectSelect: return ObjectCommand::Select;
    case WindowCommand::ObjectInsertScript: return ObjectCommand::Insert;
    case WindowCommand::ObjectUpdate: return ObjectCommand::Update;
    case WindowCommand::ObjectDelete: return ObjectCommand::Delete;
    case WindowCommand::ObjectDefinition: return ObjectCommand::ShowDefinition;
    default: return std::nullopt;
    }
}
} // namespace

bool runFeatureCommand(QWidget* window, WindowCommand command, QueryDocument* doc,
                       const std::function<QueryDocument*()>& activeNow) {
    if (const auto object = objectCommand(command)) {
        if (doc) doc->scriptObject(*object);
        return true;
    }
    // A template command edits the library, with or without a document; it
    // rebuilds only the active document's tree (a new document reads it afresh).
    auto templateCommand = [&](bool (*run)(QWidget*)) {
        if (run(window))
            if (QueryDocument* active = activeNow()) active->getTemplates();
    };
    switch (command) {
    case WindowCommand::HelpOnline: shell::shellExecuteFile(window, onlineHelpAddress()); return true;
    case WindowCommand::HelpContents: help::showHelp(window); return true;
    case WindowCommand::ObjectHelp: help::showHelp(window, QLatin1String(help::kObjectsTopic)); return true;
    case WindowCommand::TemplateHelp: help::showHelp(window, QLatin1String(help::kTemplatesTopic)); return true;
    case WindowCommand::GridHelp: help::showHelp(window, QLatin1String(help::kAdvancedSettingsTopic)); return true;
    case WindowCommand::About:
        Dialogs::get().message(window,
                               QStringLiteral("SQL Query Editor %1\nA fast SQL query editor for ODBC databases and SQLite files.")
                                   .arg(QApplication::applicationVersion()),
                               QStringLiteral("About SQL Query Editor"));
        return true;
    case WindowCommand::InsertTemplate:
    case WindowCommand::TemplateNew: templateCommand(&templates::newItem); return true;
    case WindowCommand::TemplateEdit: templateCommand(&templates::editItem); return true;
    case WindowCommand::TemplateDelete: templateCommand(&templates::deleteItem); return true;
    case WindowCommand::Options: {
        OptionsDialog options(window);
        if (options.exec() == QDialog::Accepted) shell::applySavedTheme();
        return true;
    }
    case WindowCommand::ThemeSystem: shell::chooseTheme(window, Theme::Choice::System); return true;
    case WindowCommand::ThemeLight: shell::chooseTheme(window, Theme::Choice::Light); return true;
    case WindowCommand::ThemeDark: shell::chooseTheme(window, Theme::Choice::Dark); return true;
    default: return false;
    }
}
