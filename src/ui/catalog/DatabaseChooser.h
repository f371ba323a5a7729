#pragma once
// The "Database:" chooser of a document's toolbar. With a catalogue server
// it lists the catalogues and choosing one switches the database the
// document's runs and catalogue reads use: the switch is tried on a new
// connection off the UI thread, and the database the server then reports
// becomes current (a failure puts the previous one back). With a single
// database it lists the database and its tables; choosing a table switches
// nothing and asks the browser to show that table.
//
// The entries live in a list model, so thousands of tables fill the combo
// box in one step. The chosen database is the document context's.

#include <QObject>
#include <QString>
#include <QStringList>

class DocumentContext;
class QComboBox;
class QAbstractListModel;

class DatabaseChooser : public QObject {
    Q_OBJECT
public:
    DatabaseChooser(DocumentContext& context, QComboBox* combo, QObject* parent = nullptr);

    // Forgets the entries (a new connection, a rebuild); the chosen database
    // stays in the context.
    void reset();
    // The single entry "[NO CONNECTION]"; no database is current.
    void showNoConnection();
    // Catalogue server: the catalogues, with current selected (added as an
    // entry when it is not among them) and made the context's database.
    void setCatalogues(const QStringList& catalogues, const QString& current);
    // Single database: the database first, then its tables.
    void setTables(const QString& database, const QStringList& tables);

    // Switches to name as if the user had chosen it (an entry is added when missing).
    void choose(const QString& name);
    bool isSwitching() const { return switching_ > 0; }
    QComboBox* comboBox() const { return combo_; }

signals:
    // A switch starts ("Changing Default Database to: NAME") or fails (the reason).
    void message(const QString& text);
    // A switch ended; database is the one now current.
    void databaseChanged(const QString& database);
    // Single database: a table entry was chosen.
    void tableChosen(const QString& table);

private:
    void onActivated(int row);
    void selectText(const QString& text);

    DocumentContext& context_;
    QComboBox* combo_;
    QAbstractListModel* entries_;
    bool catalogueServer_ = false;
    int switching_ = 0;
    quint64 generation_ = 0; // a reset drops the answers of earlier switches
};
