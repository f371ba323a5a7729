#pragma once
// Fills a completion list from the statement at the caret: builds the
// candidates from what is cached, asks the catalogue cache for what is
// missing (tables, another schema's tables, columns) and builds again when
// the answers are in, then hands over the complete list once. A newer
// request drops the answers of an older one.

#include "assist/CompletionCandidates.h"

#include <QObject>
#include <functional>

class CatalogCache;
class KeywordLanguage;

class ContextSuggestions : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const assist::Candidates& candidates, const QString& error)>;

    ContextSuggestions(CatalogCache* cache, const KeywordLanguage* language, QObject* parent = nullptr);

    // Calls done with the candidates for context on the connection (no
    // connection: keywords and the statement's own names only) and the
    // database chosen; at once when nothing has to be read (and returns
    // true), else once the reads have answered; error is a failed read's.
    bool fill(const assist::StatementContext& context, const QString& connectionString,
              const QString& database, Done done);
    // Drops the answer of the request under way.
    void cancel() { ++request_; }

private:
    void build(int request);

    CatalogCache* cache_;
    const KeywordLanguage* language_;
    int request_ = 0;
    assist::StatementContext context_;
    QString connection_;
    QString database_;
    Done done_;
    int rounds_ = 0; // reads asked for by this request, bounded against a catalogue that never settles
};
