#include "components/log/LogSink.h"

void LogSink::Receive(const LogEntry &entry)
{
    m_entries.append(entry);
    if (m_entries.size() > kKeep)
        m_entries.remove(0, m_entries.size() - kKeep);
}
