#pragma once
// Failures of the database layer: what kind of failure it is, the backend's
// own error number and SQLSTATE where it has them, and a description fit to
// show to the user (passwords already masked).
//
// The kind is kept apart from the backend's number: a server error that
// happens to carry the number of one of our own conditions is still a server
// error.

#include <QString>

#include <exception>
#include <optional>
#include <string>

namespace db {

// No native error number available.
inline constexpr int kNoErrorNumber = -1;

// Where in the text given to Connection::execute a failure happened, as far
// as the backend tells. Offsets count QString characters (UTF-16 units) of
// that text. Every member may be missing; a caller that cannot place the
// failure shows no place rather than a wrong one.
struct ErrorPosition {
    std::optional<qsizetype> offset;          // the failing token (PostgreSQL, SQLite)
    std::optional<qsizetype> statementOffset; // where the failing statement's text begins (SQLite)
    std::optional<int> statementIndex;        // the failing statement of a batch, from 0 (PostgreSQL, MariaDB)
    // MariaDB's "at line N": the line counted from the statement's first
    // non-blank character, from 1; with the text it quotes from the failing
    // token on ("near '…'").
    std::optional<int> lineInStatement;
    QString nearText;
    // The failing row of a bulk load (BulkLoad.h), its index in the rows sent.
    std::optional<int> row;

    bool isEmpty() const { return !offset && !statementOffset && !statementIndex; }
};

class Error : public std::exception {
public:
    enum class Kind {
        Backend,      // the driver or server refused: number() and sqlState() are its own
        Cancelled,    // a cancel request (ours or the server's) ended the operation
        ClosedResult, // rows were asked of a result that has none
        Usage,        // the request itself cannot work (empty connection string, closed connection)
    };

    Error(int number, QString description, QString sqlState = {});
    static Error closedResult();
    static Error usage(QString description);
    static Error cancelled(QString description, QString sqlState = {});
    // A statement given values that are not as many as its markers (SQLSTATE
    // 07001): refused before it is sent, never bound short or long.
    static Error valueCount(qsizetype markers, qsizetype given);

    Kind kind() const { return kind_; }
    int number() const { return number_; }
    const QString& sqlState() const { return sqlState_; }
    const QString& description() const { return description_; }
    bool isCancel() const { return kind_ == Kind::Cancelled; }
    // Marks a backend failure as the outcome of a cancel request.
    void setCancelled(bool c) { kind_ = c ? Kind::Cancelled : Kind::Backend; }
    const ErrorPosition& position() const { return position_; }
    void setPosition(ErrorPosition position) { position_ = std::move(position); }

    const char* what() const noexcept override { return what_.c_str(); }

private:
    Kind kind_ = Kind::Backend;
    int number_;
    QString description_;
    QString sqlState_;
    std::string what_;
    ErrorPosition position_;
};

} // namespace db
