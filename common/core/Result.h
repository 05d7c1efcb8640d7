#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace common {

// The outcome of an operation that can fail: a value, or a readable reason why not.
// Logic returns these; only window code turns a failure into a message for the user.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}

    static Result failure(QString error)
    {
        Result r;
        r.m_error = std::move(error);
        return r;
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const T* operator->() const { return &*m_value; }
    const QString& error() const { return m_error; }

private:
    Result() = default;
    std::optional<T> m_value;
    QString m_error;
};

struct Done {};
using Status = Result<Done>;

inline Status Success() { return Status(Done{}); }
inline Status Failure(QString error) { return Status::failure(std::move(error)); }

} // namespace common
