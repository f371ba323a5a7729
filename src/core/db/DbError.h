#pragma once
// Failures of the database layer: a number, the SQLSTATE where the backend has
// one, and a description fit to show to the user (passwords already masked).

#include <QString>

#include <exception>
#include <string>

namespace db {

// Failure categories that callers tell apart by number.
inline constexpr int ErrNullAsText = 94;        // a NULL value read as text
inline constexpr int ErrClosedResult = 3704;    // rows asked of a result without rows
inline constexpr int ErrNoRowsOperation = 30010; // treated like ErrClosedResult by callers
inline constexpr int ErrGeneric = -1;            // no native number available

class Error : public std::exception {
public:
    Error(int number, QString description, QString sqlState = {});

    int number() const { return number_; }
    const QString& sqlState() const { return sqlState_; }
    const QString& description() const { return description_; }
    // True when the failure came from a cancel request (ours or the server's).
    bool isCancel() const { return cancelled_; }
    void setCancelled(bool c) { cancelled_ = c; }

    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    QString description_;
    QString sqlState_;
    bool cancelled_ = false;
    std::string what_;
};

} // namespace db
