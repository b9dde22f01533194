#pragma once
// How the core reports failure: a value or a reason a person can read.

#include <QString>

#include <optional>
#include <utility>

namespace core {

struct Failure {
    QString reason;
};

// Success, or a failure with its reason.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Failure failure) : ok_(false), reason_(std::move(failure.reason)) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const QString& reason() const { return reason_; }

private:
    bool ok_ = true;
    QString reason_;
};

// A value, or a failure with its reason.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : reason_(std::move(failure.reason)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const QString& reason() const { return reason_; }

    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Moves the value out; only on success.
    T take() { return std::move(*value_); }

private:
    std::optional<T> value_;
    QString reason_;
};

}  // namespace core
