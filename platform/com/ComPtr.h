#pragma once

#include "platform/com/Unknown.h"

#include <utility>

namespace com {

// Holds one counted reference.
template<typename T>
class ComPtr
{
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Adds a reference to `p`.
    explicit ComPtr(T *p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr &o) : m_p(o.m_p) { if (m_p) m_p->AddRef(); }
    ComPtr(ComPtr &&o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr &operator=(const ComPtr &o)
    {
        if (o.m_p)
            o.m_p->AddRef();
        reset();
        m_p = o.m_p;
        return *this;
    }
    ComPtr &operator=(ComPtr &&o) noexcept
    {
        if (this != &o) {
            reset();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr adopt(T *p)
    {
        ComPtr c;
        c.m_p = p;
        return c;
    }

    void reset()
    {
        if (T *p = std::exchange(m_p, nullptr))
            p->Release();
    }
    T *detach() { return std::exchange(m_p, nullptr); }
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    T &operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out parameters: releases what is held first.
    T **put()
    {
        reset();
        return &m_p;
    }
    void **putVoid() { return reinterpret_cast<void **>(put()); }

    template<typename U>
    ComPtr<U> as(REFIID iid) const
    {
        ComPtr<U> out;
        if (m_p)
            m_p->QueryInterface(iid, out.putVoid());
        return out;
    }

private:
    T *m_p = nullptr;
};

} // namespace com
