#pragma once

namespace jx {

class ILogWriter;

// The process-wide log writer hook: start-up installs the writer, shutdown
// removes it; any module of the process reaches the same writer through it.
class LogHook final
{
public:
    static void setWriter(ILogWriter *writer);
    // Null while no log is set up.
    static ILogWriter *writer();
};

} // namespace jx
