#pragma once
// Errors as values at the edge of the store and the file system.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace kestrane {

enum class ErrorKind {
    Failure,        // anything else
    NotFound,       // a prefix, file, key or value that is not there
    Malformed,      // a file that cannot be read as what it should be
    AccessDenied,   // no write access (read-only hive, link key, outside drive_c)
    WineRunning,    // a wineserver serves the prefix: nothing may be written
    ChangedOnDisk,  // the file changed since it was loaded
};

struct Error {
    ErrorKind kind = ErrorKind::Failure;
    std::string message;
};

// A value or an error. Kept small on purpose: ok(), value(), error().
template <class T>
class Result {
public:
    Result(T value) : m_v(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_v(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_v.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(m_v); }
    const T& value() const { return std::get<0>(m_v); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const Error& error() const { return std::get<1>(m_v); }

private:
    std::variant<T, Error> m_v;
};

// Success or an error, for operations without a value.
class Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)) {}
    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

inline Error makeError(ErrorKind kind, std::string message) { return Error{kind, std::move(message)}; }

}  // namespace kestrane
