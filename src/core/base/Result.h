#pragma once
// The one way errors leave the core above the database layer: an operation
// that can fail returns Result<T> (a value, or a message for the user) or
// Status (nothing, or a message). The database layer itself throws
// db::Error; the stores and readers catch it and return its description.
//
// A failed Result never holds a value, so callers cannot use one by mistake:
// value() on a failure is a programming error (asserted).

#include <QString>

#include <cassert>
#include <optional>
#include <utility>

// The failure side of a Result: why the operation failed, fit to show.
struct Failure {
    QString message;
};

inline Failure fail(QString message) { return Failure{std::move(message)}; }

template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : error_(std::move(failure.message)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    const T& value() const& {
        assert(ok());
        return *value_;
    }
    T& value() & {
        assert(ok());
        return *value_;
    }
    // By value, so `for (x : f().value())` does not dangle.
    T value() && {
        assert(ok());
        return std::move(*value_);
    }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }
    T valueOr(T fallback) const { return ok() ? *value_ : std::move(fallback); }

    // Empty when ok.
    const QString& error() const { return error_; }

private:
    std::optional<T> value_;
    QString error_;
};

// Success or a message.
class [[nodiscard]] Status {
public:
    Status() = default; // success
    Status(Failure failure) : failed_(true), error_(std::move(failure.message)) {}
    template <typename T> static Status of(const Result<T>& r) { return r.ok() ? Status() : Status(fail(r.error())); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return error_; }

private:
    bool failed_ = false;
    QString error_;
};
