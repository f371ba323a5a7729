#include "assist/KeywordLanguage.h"

#include "assist/TsqlLexer.h"
#include "base/Background.h"
#include "editor/SqlEditor.h"

KeywordLanguage::KeywordLanguage(SqlEditor* editor)
    : QObject(editor), editor_(editor), lexer_(new TsqlLexer(this)) {
    editor_->setLanguage(lexer_);
    editor_->setFolding(QsciScintilla::BoxedTreeFoldStyle);
    runInBackground<Result<WordLists>>(this, keywordcatalogue::loadWordLists, [this](Result<WordLists> r) {
        if (!loaded_) setLists(r.valueOr(WordLists{}));
    });
}

void KeywordLanguage::setLists(const WordLists& lists) {
    lists_ = lists;
    spellings_ = lists_.spellings();
    lexer_->setWordLists(lists_);
    editor_->setLanguage(lexer_); // hands the new keyword sets to the editor and recolours
    loaded_ = true;
    emit loaded();
}
