#pragma once
// Sets or unsets environment variables for one test and puts every one it
// touched back as it was.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QtGlobal>
#include <optional>

class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (auto it = saved_.crbegin(); it != saved_.crend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }
    // value nullopt unsets the variable.
    void set(const char* name, std::optional<QByteArray> value) {
        saved_.append({QByteArray(name),
                       qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }

private:
    QList<QPair<QByteArray, std::optional<QByteArray>>> saved_;
};
