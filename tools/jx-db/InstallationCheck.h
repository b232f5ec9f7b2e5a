#pragma once

#include <QString>
#include <QStringList>

class DbLocation;

/// Opens a product database the way the console does and lists what the
/// console would miss: the connection itself, the runtime's own tables,
/// tables and columns of the schema, and the rows a sign-in and a menu need.
class InstallationCheck
{
public:
    /// True when nothing is missing. Every finding is in problems(); remarks
    /// that do not stop the console (a password kept in the configuration) in warnings().
    bool run(const DbLocation &location);
    QStringList problems() const { return m_problems; }
    QStringList warnings() const { return m_warnings; }
    /// What was found in order: tables and row counts.
    QStringList summary() const { return m_summary; }

private:
    QStringList m_problems, m_warnings, m_summary;
};
