#include "assist/KeywordLanguage.h"

#include "assist/TsqlLexer.h"
#include "base/Background.h"
#include "editor/SqlEditor.h"

#include <optional>

namespace {

// The catalogue's words as every document uses them.
struct ReadWords {
    assist::Vocabulary vocabulary;
    QHash<QString, QString> spellings;
};

// The words read by the first document, kept for the process: the catalogue
// does not change while the editor runs, so later documents take them at
// once instead of reading them again, and share the containers (implicitly
// shared) instead of holding a copy each. A catalogue that could not be read
// is not kept: the next document tries again. UI thread only.
std::optional<ReadWords>& wordsRead() {
    static std::optional<ReadWords> words;
    return words;
}

} // namespace

KeywordLanguage::KeywordLanguage(SqlEditor* editor)
    : QObject(editor), editor_(editor), lexer_(new TsqlLexer(this)) {
    editor_->setLanguage(lexer_);
    editor_->setFolding(QsciScintilla::BoxedTreeFoldStyle);
    if (wordsRead()) {
        // after the document's parts have connected to loaded()
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!loaded_) apply(wordsRead()->vocabulary, wordsRead()->spellings);
            },
            Qt::QueuedConnection);
        return;
    }
    using Read = std::pair<ReadWords, bool>; // the words, and whether all of them could be read
    runInBackground<Read>(
        this,
        [] {
            Result<WordLists> lists = assist::loadWordLists();
            Result<QHash<QString, KeywordHelp>> help = assist::loadHelp(WordClass::Function);
            ReadWords read{{lists.valueOr({}), help.valueOr({})}, {}};
            read.spellings = read.vocabulary.words.spellings();
            return Read{std::move(read), lists.ok() && help.ok()};
        },
        [this](const Read& read) {
            if (read.second && !wordsRead()) wordsRead() = read.first;
            if (!loaded_) apply(read.first.vocabulary, read.first.spellings);
        });
}

void KeywordLanguage::setLists(const WordLists& lists) { apply({lists, vocabulary_.functionHelp}, lists.spellings()); }

void KeywordLanguage::apply(const assist::Vocabulary& vocabulary, const QHash<QString, QString>& spellings) {
    vocabulary_ = vocabulary;
    spellings_ = spellings;
    lexer_->setWordLists(vocabulary_.words);
    editor_->setLanguage(lexer_); // hands the new keyword sets to the editor and recolours
    loaded_ = true;
    emit loaded();
}
