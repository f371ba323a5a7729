#include "assist/KeywordLanguage.h"

#include "assist/TsqlLexer.h"
#include "base/Background.h"
#include "editor/SqlEditor.h"

KeywordLanguage::KeywordLanguage(SqlEditor* editor)
    : QObject(editor), editor_(editor), lexer_(new TsqlLexer(this)) {
    editor_->setLanguage(lexer_);
    editor_->setFolding(QsciScintilla::BoxedTreeFoldStyle);
    using Loaded = std::pair<WordLists, QHash<QString, KeywordHelp>>;
    runInBackground<Loaded>(
        this,
        [] {
            return Loaded{assist::loadWordLists().valueOr({}),
                          assist::loadHelp(WordClass::Function).valueOr({})};
        },
        [this](Loaded r) {
            if (loaded_) return;
            vocabulary_.functionHelp = std::move(r.second);
            setLists(r.first);
        });
}

void KeywordLanguage::setLists(const WordLists& lists) {
    vocabulary_.words = lists;
    spellings_ = lists.spellings();
    lexer_->setWordLists(lists);
    editor_->setLanguage(lexer_); // hands the new keyword sets to the editor and recolours
    loaded_ = true;
    emit loaded();
}
