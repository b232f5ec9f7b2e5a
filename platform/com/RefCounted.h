#pragma once

// The one reference count of the object model's classes: dispatch objects,
// class factories, control sites and event sinks. It starts at one (the
// creator's reference) and deletes the object through its most-derived type
// `Derived` when the last reference goes, so no interface needs a virtual
// destructor. A copy is a new object with a count of its own.

#include "platform/com/ComTypes.h"

#include <atomic>

namespace com {

template<typename Derived>
class RefCounted
{
public:
    RefCounted() = default;
    RefCounted(const RefCounted &) {}
    RefCounted &operator=(const RefCounted &) { return *this; }

protected:
    ~RefCounted() = default;

    ULONG addReference() { return ++m_refs; }
    ULONG releaseReference()
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete static_cast<Derived *>(this);
        return left;
    }

private:
    std::atomic<ULONG> m_refs{1};
};

} // namespace com
