#pragma once
// The words the editor knows, read from the resource database's syntax
// table: each row is one word with its class and the HTML help shown for it.
// The editor colours, completes and corrects the case of these words; the
// help panel shows a word's help while the user types it.
//
// Every read opens its own connection to vsql.db, binds its values and
// closes it again. Callers run these reads off the UI thread.

#include "base/Result.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// The class number stored in syntax.type. Rows of any other class are not
// words of the editor's language.
enum class WordClass : int { Keyword = 1, Operator = 2, Function = 3, DataType = 4 };

// The four word lists of a document's language, each in ascending order of
// the stored word (without regard to case). A stored word that holds line
// breaks counts as several words; empty pieces are dropped.
struct WordLists {
    QStringList keywords;  // class 1
    QStringList operators; // class 2
    QStringList functions; // class 3
    QStringList dataTypes; // class 4

    const QStringList& of(WordClass c) const;
    QStringList& of(WordClass c);
    bool isEmpty() const {
        return keywords.isEmpty() && operators.isEmpty() && functions.isEmpty() && dataTypes.isEmpty();
    }
    // The stored spelling of every word, keyed by its lower-case form (the
    // first class in the order above wins when a word is in several).
    QHash<QString, QString> spellings() const;
};

// The help of one word, as HTML fragments.
struct KeywordHelp {
    QString name;
    QString title;
    QString description;
    QString example;
};

namespace assist {

inline constexpr WordClass kAllClasses[] = {WordClass::Keyword, WordClass::Operator, WordClass::Function,
                                            WordClass::DataType};

// Reads the whole syntax table into the four lists.
Result<WordLists> loadWordLists();
// The help of every word of one class, keyed by the word in lower case (the
// first stored row of a word wins).
Result<QHash<QString, KeywordHelp>> loadHelp(WordClass wordClass);

// Whether some stored word begins with word (without regard to case for
// ASCII letters). "%", "_" and quotes in word are ordinary characters.
Result<bool> bLocateKeyword(const QString& word);
// The help of the word that best matches the beginning word: a word equal to
// it first, otherwise the first in alphabetical order; nothing when no word
// begins with it.
Result<std::optional<KeywordHelp>> sLocateKeyword(const QString& word);

// The LIKE pattern (with "\" as escape character) that matches every text
// beginning with prefix.
QString likePrefixPattern(const QString& prefix);

} // namespace assist
