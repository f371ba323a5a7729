#pragma once
// The code assistance of a query document, attached to its editor: the
// language built from the keyword catalogue (colouring and case
// correction), the completion popup and what opens it by itself, the SQL
// formatter and the keyword help in the help browser. The document
// constructs one and routes its commands here.

#include "assist/CompletionPopup.h"
#include "editor/EditorFeature.h"

class CompletionTrigger;
class EditorStatements;
class KeywordCaseCorrector;
class KeywordLanguage;
class SqlFormatCommand;
class QTextBrowser;
class SqlEditor;
class SyntaxHelp;

class CodeAssist : public EditorFeature {
    Q_OBJECT
public:
    // host: the widget the popup is shown in; helpBrowser shows the start
    // page; context: the document's connection and database.
    CodeAssist(SqlEditor* editor, QWidget* host, QTextBrowser* helpBrowser, const DocumentContext& context);

    // The editor's keys: Ctrl+Space opens the keyword list; Shift+Space the
    // table list. Each answers whether it took the key: Shift+Space with no
    // catalogue to list (no connection, or one known to have no tables) is
    // left to the editor, which types a blank.
    bool codeSenseKey();
    bool catalogSenseKey();

    // The menu commands.
    void showIntelli();           // Code Sense
    void showCatalogSense();      // Catalog Sense
    void showCatalogTableSense(); // Catalog Table Sense
    void showVariableSense();     // Code Sense Variables
    void formatSql();             // Format SQL

    KeywordLanguage* language() const { return language_; }
    CompletionPopup* popup() const { return popup_; }
    SyntaxHelp* help() const { return help_; }
    EditorStatements* statements() const { return statements_; }

private:
    SqlEditor* editor_;
    EditorStatements* statements_;
    KeywordLanguage* language_;
    KeywordCaseCorrector* corrector_;
    CompletionPopup* popup_;
    CompletionTrigger* trigger_;
    SqlFormatCommand* formatter_;
    SyntaxHelp* help_;
};
