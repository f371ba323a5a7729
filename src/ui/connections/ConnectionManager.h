#pragma once
// The connection manager ("SQL Connection Manager"): the saved connections
// with their name, type and connection string; creating new ones through the
// connection dialog, saving edits, deleting, and handing the chosen
// connection to a query document. A small label says where saved passwords
// are kept (the desktop keyring, or vsql.db where none is available).

#include "common/Dialogs.h"
#include "store/ConnectionStore.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QToolButton;

class ConnectionManager : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionManager(QWidget* parent = nullptr);

    // The connection chosen with Connect (empty when cancelled).
    QString chosenConnectionString() const { return chosen_; }
    QString chosenName() const { return chosenName_; }

    // The manager's operations (toolbar and buttons), public for tests.
    void addConnections();
    // Builds a connection with the connection dialog, names it and asks
    // whether to store it: Yes stores and selects it, No connects with it
    // without storing (the manager closes as after Connect).
    void connectWizardAddon(ConnectionKind kind);
    void saveSelected();
    void deleteSelected();
    void useSelected(); // Connect / double-click / Enter
    void toggleWidth();
    void select(int row);
    void selectKey(qint64 primaryKey);
    // The connection string of the form (the field shows it with the password masked).
    QString connectionText() const { return connectionText_; }
    void setConnectionText(const QString& text);

    QListWidget* list() const { return list_; }
    QLineEdit* nameField() const { return name_; }
    QComboBox* typeBox() const { return type_; }
    QLineEdit* connectionField() const { return cs_; }
    QCheckBox* showPasswordBox() const { return showPassword_; }
    QString primaryKeyText() const;
    QPushButton* widthButton() const { return width_; }
    QLabel* passwordStoreLabel() const { return passwordStore_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showConnectionString();
    void showPasswordStore();
    // Shows a store's notice (a password kept in vsql.db against the rule, an
    // old keyring entry left behind), if there is one.
    void tell(const QString& notice);
    QListWidget* list_;
    QLineEdit* name_;
    QComboBox* type_;
    QLineEdit* cs_;
    QLabel* key_;
    QPushButton* width_;
    QCheckBox* showPassword_;
    QLabel* passwordStore_;
    QString connectionText_;
    QString chosen_;
    QString chosenName_;
};
