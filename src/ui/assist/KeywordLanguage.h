#pragma once
// A document's language: loads the four word lists from the keyword
// catalogue (off the UI thread, once per process: later documents share the
// first one's), gives the editor the "TSQL" lexer built from them, and
// serves the lists to the completion popup and the case correction. Until the lists arrive the
// editor colours comments, strings and numbers only; a catalogue that cannot
// be read leaves the lists empty (the completion list then says so). The
// help of its functions (signature and description) is read with them.

#include "assist/CompletionCandidates.h"
#include "assist/KeywordCatalogue.h"

#include <QObject>

class SqlEditor;
class TsqlLexer;

class KeywordLanguage : public QObject {
    Q_OBJECT
public:
    explicit KeywordLanguage(SqlEditor* editor);

    const WordLists& lists() const { return vocabulary_.words; }
    // The lists with the help of the functions, as completion offers them.
    const assist::Vocabulary& vocabulary() const { return vocabulary_; }
    bool isLoaded() const { return loaded_; }
    // The stored spelling of a known word (any class), or empty.
    QString spellingOf(const QString& word) const { return spellings_.value(word.toLower()); }
    // Every known word's spelling, by the word in lower case.
    const QHash<QString, QString>& spellings() const { return spellings_; }
    TsqlLexer* lexer() const { return lexer_; }

    // Uses these lists instead of the catalogue's (tests).
    void setLists(const WordLists& lists);

signals:
    void loaded();

private:
    void apply(const assist::Vocabulary& vocabulary, const QHash<QString, QString>& spellings);

    SqlEditor* editor_;
    TsqlLexer* lexer_;
    assist::Vocabulary vocabulary_;
    QHash<QString, QString> spellings_;
    bool loaded_ = false;
};
