#pragma once

#include <QString>

#include <cassert>
#include <utility>
#include <variant>

namespace jx {

// The reason an operation failed, already in the words the user is shown.
struct Failure
{
    QString reason;
};

// Builds the failure a Result is made from: `return jx::fail(tr("…"));`.
inline Failure fail(QString reason)
{
    return Failure{std::move(reason)};
}

// What an operation inside the product gives back when it can fail: its value,
// or the reason it failed (the product's own text), in the
// spirit of std::expected. Result<> carries no value: `return {};` is success.
//
//     if (const auto rows = readRows(db); !rows)
//         return jx::fail(rows.error());
//     else
//         use(*rows);
template<typename T = void>
class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value))
    {}
    Result(Failure failure)
        : m_state(std::in_place_index<1>, std::move(failure.reason))
    {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T &value() &
    {
        assert(ok());
        return std::get<0>(m_state);
    }
    const T &value() const &
    {
        assert(ok());
        return std::get<0>(m_state);
    }
    T &&value() &&
    {
        assert(ok());
        return std::get<0>(std::move(m_state));
    }
    T &operator*() & { return value(); }
    const T &operator*() const & { return value(); }
    T &&operator*() && { return std::move(*this).value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }

    // The value, or the fallback when the operation failed.
    T valueOr(T fallback) const & { return ok() ? std::get<0>(m_state) : std::move(fallback); }

    // The reason of a failure; empty on success.
    QString error() const { return ok() ? QString() : std::get<1>(m_state); }

private:
    std::variant<T, QString> m_state;
};

template<>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : m_failed(true)
        , m_reason(std::move(failure.reason))
    {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }

    // The reason of a failure; empty on success.
    QString error() const { return m_reason; }

private:
    bool m_failed = false;
    QString m_reason;
};

} // namespace jx
