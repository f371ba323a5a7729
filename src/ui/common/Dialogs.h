#pragma once
// Every message box, question, input box and file dialog of the program goes
// through this seam. The program installs the application's dialogs (shell's
// AppDialogs, which adds the connection dialog to QtDialogs); tests install
// scripted answers, so no test ever waits on a real dialog.

#include "script/ParameterBinding.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// What the connection dialog starts on: a SQLite file, a PostgreSQL or
// MariaDB/MySQL server (the native clients, with TLS), any installed ODBC
// driver, or an ODBC data source.
enum class ConnectionKind { SqliteFile, OdbcDriver, OdbcDataSource, PostgreSql, MariaDb };

// A connection the user has built: the string, and what the opened
// connection reported (empty when it could not be opened).
struct NewConnection {
    QString connectionString;
    QString defaultDatabase;
    QString providerName;
};

class Dialogs {
public:
    enum class Answer { Yes, No, Cancel };
    enum class Buttons { YesNo, YesNoCancel };

    virtual ~Dialogs() = default;

    virtual void message(QWidget* parent, const QString& text, const QString& title = QString()) = 0;
    virtual Answer question(QWidget* parent, const QString& text, const QString& title, Buttons buttons) = 0;
    // A question answered by one of the given buttons: the index of the one
    // chosen, or -1 when the dialog was closed. Enter presses the button at
    // defaultButton; Escape presses the one at escapeButton (-1: Escape
    // closes the question).
    virtual int choose(QWidget* parent, const QString& text, const QString& title, const QStringList& buttons,
                       int defaultButton = 0, int escapeButton = -1) = 0;
    // choose() about a long text to read first (statements to be run): the
    // index of the button chosen, or -1 when closed (Esc). By default a
    // choose() with the text below the intro.
    virtual int review(QWidget* parent, const QString& title, const QString& intro, const QString& text,
                       const QStringList& buttons) {
        return choose(parent, intro + QStringLiteral("\n\n") + text, title, buttons);
    }
    // nullopt when cancelled
    virtual std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& title,
                                         const QString& defaultText) = 0;
    virtual std::optional<int> inputNumber(QWidget* parent, const QString& prompt, const QString& title, int value,
                                           int min, int max) = 0;
    // A secret (a passphrase), typed without being shown; nullopt when cancelled.
    virtual std::optional<QString> secret(QWidget* parent, const QString& prompt, const QString& title) = 0;
    // Empty when cancelled. filters are Qt name filters ("SQL Files (*.sql)");
    // startIn is the folder (or, for saving, the suggested file) the dialog
    // opens at; selectedFilter receives the filter the user picked.
    virtual QString openFileName(QWidget* parent, const QString& title, const QStringList& filters,
                                 const QString& startIn = QString()) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QStringList& filters,
                                 const QString& startIn, QString* selectedFilter = nullptr) = 0;

    // The connection dialog, starting on the given kind. nullopt when cancelled.
    virtual std::optional<NewConnection> newConnection(QWidget* parent, ConnectionKind kind) = 0;

    // Values for a statement's parameters (names in order of first use),
    // starting from those given last time. nullopt when cancelled.
    virtual std::optional<script::ParameterValues>
    parameterValues(QWidget* parent, const std::vector<script::ScriptParameters::Name>& names,
                    const script::ParameterValues& remembered) = 0;

    // The installed implementation (QtDialogs when nothing was installed).
    static Dialogs& get();
    // Installs d (not owned); nullptr restores QtDialogs.
    static void install(Dialogs* d);
};

// The real dialogs for messages, questions, input and files. It has no
// connection dialog (that lives above this room): newConnection() answers
// "cancelled" unless a subclass provides one.
class QtDialogs : public Dialogs {
public:
    void message(QWidget* parent, const QString& text, const QString& title) override;
    Answer question(QWidget* parent, const QString& text, const QString& title, Buttons buttons) override;
    int choose(QWidget* parent, const QString& text, const QString& title, const QStringList& buttons,
               int defaultButton, int escapeButton) override;
    int review(QWidget* parent, const QString& title, const QString& intro, const QString& text,
               const QStringList& buttons) override;
    std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    std::optional<int> inputNumber(QWidget* parent, const QString& prompt, const QString& title, int value, int min,
                                   int max) override;
    std::optional<QString> secret(QWidget* parent, const QString& prompt, const QString& title) override;
    QString openFileName(QWidget* parent, const QString& title, const QStringList& filters,
                         const QString& startIn) override;
    QString saveFileName(QWidget* parent, const QString& title, const QStringList& filters, const QString& startIn,
                         QString* selectedFilter) override;
    std::optional<NewConnection> newConnection(QWidget* parent, ConnectionKind kind) override;
    std::optional<script::ParameterValues>
    parameterValues(QWidget* parent, const std::vector<script::ScriptParameters::Name>& names,
                    const script::ParameterValues& remembered) override;
};
