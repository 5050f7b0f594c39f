#pragma once
// A value or an error text, so that failures cross the model/window line without exceptions.
#include <optional>
#include <string>
#include <utility>
#include <variant>

// The operating system's reason in words for the user: the common causes in Chinese with the system's own
// text in brackets ("磁盘已满 (No space left on device)"), any other as "系统错误 (<the system's text>)".
std::string systemReason(int err);

// What went wrong with one file: the path and the operating system's reason.
struct IoError {
    std::string path;
    std::string reason;
    std::string message() const { return path + "\n" + reason; }
};
// The failure of a system call on `path` with errno `err`.
inline IoError systemError(std::string path, int err) {
    return IoError{std::move(path), systemReason(err)};
}

template <class T> class Result {
public:
    Result(T value) : m_v(std::move(value)) {}
    Result(IoError error) : m_v(std::move(error)) {}
    bool ok() const { return m_v.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(m_v); }
    const T& value() const { return std::get<0>(m_v); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    const IoError& error() const { return std::get<1>(m_v); }

private:
    std::variant<T, IoError> m_v;
};

template <> class Result<void> {
public:
    Result() = default;
    Result(IoError error) : m_error(std::move(error)) {}
    bool ok() const { return !m_error; }
    explicit operator bool() const { return ok(); }
    const IoError& error() const { return *m_error; }

private:
    std::optional<IoError> m_error;
};
