#pragma once

#include <QString>

#include <utility>
#include <variant>

namespace db {

// What kind of failure an error is, where the caller may offer a way out.
enum class ErrorKind
{
    Other,
    ChangedElsewhere, // the row was changed by another workstation since it was read
    DeletedElsewhere, // the row was deleted by another workstation since it was read
};

// An expected failure: a message in Italian, ready to be shown to the user.
struct Error
{
    QString message;
    ErrorKind kind = ErrorKind::Other;
};

// The value of an operation that may fail in an expected way.
template <typename T> class [[nodiscard]] Result
{
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return std::get<0>(m_state); }
    T &value() & { return std::get<0>(m_state); }
    T &&value() && { return std::get<0>(std::move(m_state)); }
    const T &operator*() const & { return value(); }
    T &operator*() & { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }

    const Error &error() const { return std::get<1>(m_state); }
    QString message() const { return ok() ? QString() : error().message; }

private:
    std::variant<T, Error> m_state;
};

template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error &error() const { return m_error; }
    QString message() const { return m_error.message; }

private:
    Error m_error;
    bool m_failed = false;
};

using Status = Result<void>;

} // namespace db
