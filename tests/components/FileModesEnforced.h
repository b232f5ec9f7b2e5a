#pragma once

#include <sys/fsuid.h>
#include <unistd.h>

// Tests run as root in CI, and root reads and writes whatever the file modes
// say. While this lives, the calling thread's file access is checked as an
// ordinary user's (nobody), so a read-only file or folder really refuses
// writes. Other threads are not affected.
class FileModesEnforced
{
public:
    FileModesEnforced()
    {
        if (::geteuid() == 0) {
            ::setfsuid(kNobody);
            m_dropped = ::setfsuid(static_cast<uid_t>(-1)) == kNobody;
        }
    }
    ~FileModesEnforced()
    {
        if (m_dropped)
            ::setfsuid(0);
    }
    FileModesEnforced(const FileModesEnforced &) = delete;
    FileModesEnforced &operator=(const FileModesEnforced &) = delete;

    // False when running as root and the switch did not take: the test cannot
    // show what it means to.
    bool active() const { return m_dropped || ::geteuid() != 0; }

private:
    static constexpr uid_t kNobody = 65534;
    bool m_dropped = false;
};
