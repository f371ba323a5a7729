#include "assist/CodeAssist.h"

#include "assist/KeywordCaseCorrector.h"
#include "assist/KeywordLanguage.h"
#include "assist/SyntaxHelp.h"
#include "editor/SqlEditor.h"

#include <QCoreApplication>
#include <QKeyEvent>

CodeAssist::CodeAssist(SqlEditor* editor, QWidget* host, QTextBrowser* helpBrowser,
                       CompletionPopup::Sources sources)
    : QObject(editor), editor_(editor), language_(new KeywordLanguage(editor)),
      corrector_(new KeywordCaseCorrector(editor, language_)),
      popup_(new CompletionPopup(editor, host, language_, std::move(sources))),
      help_(new SyntaxHelp(editor, helpBrowser)) {}

void CodeAssist::codeSenseKey() {
    popup_->placeIntelliPopup();
}

void CodeAssist::catalogSenseKey() {
    if (popup_->catalogIsEmpty()) {
        // nothing to list: the key types what it types without the shift
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(editor_, &space);
        return;
    }
    popup_->placeIntelliPopup();
    popup_->showCatalogs();
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
