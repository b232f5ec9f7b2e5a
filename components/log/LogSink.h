#pragma once

#include "jx_components_export.h"

#include "components/log/LogEntry.h"

#include <QVector>

/// Receiver the console holds from start-up to shutdown; keeps the entries
/// written while it is attached so they can be inspected (last 200).
class JX_COMPONENTS_EXPORT LogSink
{
public:
    void Receive(const LogEntry &entry);
    QVector<LogEntry> entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

    static constexpr int kKeep = 200;

private:
    QVector<LogEntry> m_entries;
};
