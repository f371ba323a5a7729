#pragma once
// The query document's toolbar: buttons identified by their tags, some with a
// drop-down of entries identified by keys, and the database chooser.

#include <QToolBar>

class QComboBox;
class QToolButton;

class DocumentToolbar : public QToolBar {
    Q_OBJECT
public:
    explicit DocumentToolbar(QWidget* parent = nullptr);

    QToolButton* button(const QString& tag) const;
    // Tags in toolbar order.
    static QStringList tags();
    // Drop-down entry keys of a button, in order.
    QStringList menuKeys(const QString& tag) const;
    QComboBox* databaseChooser() const { return databases_; }
    void setResultMode(bool text);
    void setRunning(bool running);
    // The Auto-commit switch as the session has it; Commit and Roll Back
    // only inside a transaction.
    void setTransactionState(bool autoCommit, bool inTransaction);

    // Adds an entry to a button's drop-down (the document adds "wizard").
    void addMenuItem(const QString& tag, const QString& caption, const QString& key);

signals:
    void buttonClicked(const QString& tag);
    void menuItemChosen(const QString& tag, const QString& key);

private:
    QToolButton* addButton(const QString& tag, const QString& icon, const QString& tip,
                           const QList<QPair<QString, QString>>& items = {});
    QComboBox* databases_;
};
