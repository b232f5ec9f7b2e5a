#include "platform/LogHook.h"

#include <atomic>

namespace jx {

namespace {
std::atomic<ILogWriter *> &slot()
{
    static std::atomic<ILogWriter *> current{nullptr};
    return current;
}
} // namespace

void LogHook::setWriter(ILogWriter *writer)
{
    slot().store(writer);
}

ILogWriter *LogHook::writer()
{
    return slot().load();
}

} // namespace jx
