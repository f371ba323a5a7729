#include "assist/CodeAssist.h"

#include "assist/CompletionTrigger.h"
#include "assist/EditorStatements.h"
#include "assist/KeywordCaseCorrector.h"
#include "assist/KeywordLanguage.h"
#include "assist/SqlFormatCommand.h"
#include "assist/SyntaxHelp.h"
#include "assist/TsqlLexer.h"
#include "common/DocumentContext.h"
#include "editor/SqlEditor.h"


CodeAssist::CodeAssist(SqlEditor* editor, QWidget* host, QTextBrowser* helpBrowser, const DocumentContext& context)
    : EditorFeature(editor), editor_(editor), statements_(new EditorStatements(editor, context)),
      language_(new KeywordLanguage(editor)), corrector_(new KeywordCaseCorrector(editor, language_, statements_)),
      popup_(new CompletionPopup(editor, host, language_, statements_, context)),
      trigger_(new CompletionTrigger(editor, popup_)),
      formatter_(new SqlFormatCommand(editor, language_, statements_)), help_(new SyntaxHelp(editor, helpBrowser)) {
    // the colouring reads quotes and comments as the document's server does
    language_->lexer()->setServerFamily(context.serverFamily());
    connect(&context, &DocumentContext::serverFamilyChanged, language_->lexer(), &TsqlLexer::setServerFamily);
}

bool CodeAssist::codeSenseKey() {
    popup_->placeIntelliPopup();
    return true;
}

bool CodeAssist::catalogSenseKey() {
    if (popup_->catalogIsEmpty()) return false; // nothing to list: the key types its blank
    popup_->placeIntelliPopup();
    popup_->showCatalogs();
    return true;
}

void CodeAssist::showIntelli() {
    editor_->setFocus();
    popup_->placeIntelliPopup();
}

void CodeAssist::showCatalogSense() {
    popup_->showCatalogs();
}
void CodeAssist::showCatalogTableSense() {
    popup_->showCatalogItems();
}
void CodeAssist::showVariableSense() {
    popup_->showVariables();
}
void CodeAssist::formatSql() {
    popup_->dismiss();
    formatter_->formatSql();
}
