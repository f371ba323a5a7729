#pragma once
// Building a connection: an SQLite file (native), an installed ODBC driver
// with server, port, database, user and password, or an ODBC data source;
// extra keys go in "Advanced". "Test Connection" and OK open the connection
// off the UI thread (with the login time-out) and report the DBMS name and
// version or the error, passwords masked.

#include "common/Dialogs.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

class ConnectionDialog : public QDialog {
    Q_OBJECT
public:
    ConnectionDialog(QWidget* parent, ConnectionKind initial);

    // The connection string the fields describe.
    QString connectionString() const;
    NewConnection result() const { return result_; }

    // For tests and callers that fill the form.
    void setKind(ConnectionKind k);
    void setField(const QString& name, const QString& value); // "file", "server", "port", "database",
                                                              // "user", "password", "advanced", "driver", "dsn"
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
    QLineEdit* field(const QString& name) const;
    void updatePreview();

    QComboBox* kind_;
    QStackedWidget* pages_;
    QComboBox* drivers_;
    QComboBox* dataSources_;
    QLineEdit* file_;
    QLineEdit* server_;
    QLineEdit* port_;
    QLineEdit* database_;
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* dsnUser_;
    QLineEdit* dsnPassword_;
    QLineEdit* advanced_;
    QLabel* preview_;
    QLabel* status_;
    QPushButton* test_;
    QPushButton* ok_;
    NewConnection result_;
    bool busy_ = false;
};
