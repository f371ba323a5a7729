#pragma once
// Building a connection: a PostgreSQL or MariaDB/MySQL server (host, port,
// database, user, password, TLS), a SQLite file, an installed ODBC driver,
// or an ODBC data source; an SSH jump host and the safety settings
// (read-only, environment, the question before changes) for each. The
// fields and the connection string below them stay in step: a field edit
// rewrites its key in the string, a string typed or pasted (URIs too)
// fills the fields. The string shows the password as "****"; stars typed
// back stand for the last password the dialog held.
//
// "Test Connection" and OK open the connection off the UI thread (with the
// login time-out) and report the DBMS name and version, and when the
// string goes to an ODBC driver instead of a native client, why; errors are
// shown with passwords masked.

#include "common/Dialogs.h"

#include <QDialog>
#include <functional>

class ConnectionForm;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
struct ServerPage;

class ConnectionDialog : public QDialog {
    Q_OBJECT
public:
    ConnectionDialog(QWidget* parent, ConnectionKind initial);
    ~ConnectionDialog() override;

    // The connection string the fields describe (the password in clear).
    QString connectionString() const;
    NewConnection result() const { return result_; }
    ConnectionKind kind() const;

    // For tests and callers that fill the form.
    void setKind(ConnectionKind k);
    // A field by its name (see ConnectionPages.h), the one on the shown
    // page; "advanced" adds the keys of a "key=value;…" text.
    void setField(const QString& name, const QString& value);
    // The connection string as typed into its line (URIs too).
    void setConnectionText(const QString& text);
    QLineEdit* connectionField() const { return raw_; }
    void testConnection();
    QString testStatus() const;

signals:
    void testFinished(bool ok);

protected:
    void accept() override;

private:
    struct Probe {
        bool ok = false;
        QString message;
        QString defaultDatabase;
        QString providerName;
    };
    static Probe probe(const QString& connectionString);
    // Opens the connection off the UI thread with button disabled meanwhile.
    void runProbe(QPushButton* button, const std::function<void(const Probe&)>& done);
    // The user chose another kind: the string keeps the address, login and
    // the editor's own keys.
    void kindChosen();
    void showKind(ConnectionKind k);
    void showConnectionText();
    void connectionTextEdited(const QString& text);
    // Enter or the focus gone: the string is complete.
    void connectionTextSettled();
    // Keeps the last real password of the string (not stars).
    void rememberPassword();

    ConnectionForm* form_;
    QComboBox* kind_;
    QTabWidget* tabs_;
    QStackedWidget* pages_;
    std::unique_ptr<ServerPage> server_;
    QComboBox* dataSources_;
    QLineEdit* raw_;
    QLabel* status_;
    QPushButton* test_;
    QPushButton* ok_;
    NewConnection result_;
    QString password_; // what "****" in the typed string stands for
    bool busy_ = false;
};
