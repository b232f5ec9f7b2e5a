#pragma once

#include "jx_components_export.h"

#include <QDateTime>
#include <QString>

#include <cstdint>

/// One log entry: source, kind (1 progress, 2 notice, 4 warning, 8 error,
/// 48 operation record) and message.
class JX_COMPONENTS_EXPORT LogEntry
{
public:
    void SetSource(const QString &v) { m_source = v; }
    void SetKind(int32_t v) { m_kind = v; }
    void SetMessage(const QString &v) { m_message = v; }

    QString source() const { return m_source; }
    int32_t kind() const { return m_kind; }
    QString message() const { return m_message; }
    QDateTime time() const { return m_time; }

private:
    QString m_source, m_message;
    int32_t m_kind = 1;
    QDateTime m_time = QDateTime::currentDateTime();
};
