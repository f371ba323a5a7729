#pragma once
// The History tab of a query document: the runs of every document, newest
// first, with a search box over the scripts and connections. Double-click or
// Enter inserts an entry's script at the editor's caret (over the selection;
// on lines of its own when the caret's line holds other text); the pop-up
// offers "Insert", "Copy", "Delete Entry" and "Clear History".
//
// The list is read in the background whenever it is shown after a change
// (a run of any document, a deletion) or the search changes; the UI thread
// never waits on vsql.db.

#include <QWidget>

#include <functional>

struct HistoryEntry;
class HistoryModel;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QTreeView;
class SqlEditor;

class HistoryPane : public QWidget {
    Q_OBJECT
public:
    explicit HistoryPane(SqlEditor* editor, QWidget* parent = nullptr);

    QLineEdit* searchBox() const { return search_; }
    QTreeView* view() const { return view_; }
    HistoryModel* model() const { return model_; }
    QMenu* popupMenu() const { return menu_; }
    // A note above the list when the history could not be read or written.
    QLabel* note() const { return note_; }
    bool isLoading() const { return loading_; }

    // Reads the list again (in the background), keeping the current entry.
    void reload();

    // The pop-up's commands: on the current entry, or the selected ones.
    void insertCurrent();
    void copyCurrent();
    void deleteSelected();
    void clearHistory(); // asks first

signals:
    // A reading of the list arrived (also when it failed).
    void loaded();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void onHistoryChanged();
    void showPopup(const QPoint& pos);
    // Calls use with the whole script of the entry, read first when the list
    // holds only its beginning; tells the user when it cannot be had.
    void withScript(const HistoryEntry& entry, std::function<void(const QString&)> use);
    void setNote(const QString& text);
    // The script with the line breaks that put it on lines of its own at the
    // editor's selection.
    QString onLinesOfItsOwn(const QString& script) const;
    void dropPendingReading();
    const HistoryEntry* currentEntry() const;

    SqlEditor* editor_;
    QLineEdit* search_;
    QLabel* note_;
    QTreeView* view_;
    HistoryModel* model_;
    QMenu* menu_;
    QTimer* searchDelay_;
    quint64 generation_ = 0; // a reading of an older generation is dropped
    bool stale_ = true;      // changed while hidden: read when shown
    bool loading_ = false;
};
