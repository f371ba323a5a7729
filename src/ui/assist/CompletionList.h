#pragma once
// One list of the completion popup: words with a small picture of their
// kind, found by their beginning as the user types. A list may instead hold
// a single placeholder ("[No Connection]", "Not Supported", a read in
// progress or its error), which names the state of the list and is never
// inserted into the script.

#include "assist/CompletionCandidates.h"

#include <QAbstractListModel>
#include <QListView>
#include <vector>

// The kinds of entry, each with its own picture.
using EntryKind = assist::Kind;

class CompletionModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(entries_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override;

    void clear();
    // Entries inserted as they are listed.
    void append(const QStringList& texts, EntryKind kind);
    void append(std::vector<assist::Candidate> entries);
    void setPlaceholder(const QString& text);
    bool isPlaceholder() const { return placeholder_; }
    QString textAt(int row) const { return at(row).text; }
    const assist::Candidate& at(int row) const;
    // The first row whose text begins with prefix (ignoring case), or -1.
    int find(const QString& prefix) const;

private:
    std::vector<assist::Candidate> entries_;
    bool placeholder_ = false;
};

class CompletionList : public QListView {
    Q_OBJECT
public:
    explicit CompletionList(QWidget* parent = nullptr);

    CompletionModel* entries() const { return model_; }
    int count() const { return model_->rowCount(); }
    QString textAt(int row) const { return model_->textAt(row); }
    bool isPlaceholder() const { return model_->isPlaceholder(); }
    // The text of the selected entry (empty when none), and what it inserts.
    QString currentText() const;
    QString currentInsert() const;
    const assist::Candidate& currentEntry() const;
    bool hasWord() const { return !isPlaceholder() && currentIndex().isValid(); }

    // Fills the list: replaces its entries by texts, all of one kind.
    void setEntries(const QStringList& texts, EntryKind kind);
    void setEntries(std::vector<assist::Candidate> entries);
    void addEntries(const QStringList& texts, EntryKind kind);
    void setPlaceholder(const QString& text);
    // Selects the first entry that begins with prefix and scrolls it into
    // view; false when none does, and then nothing is selected: a word that
    // matches nothing must not stand for an entry chosen before.
    bool locate(const QString& prefix);

    static QIcon iconFor(EntryKind kind);

private:
    CompletionModel* model_;
};
