#pragma once

#include "platform/com/Result.h"

#include <QString>
#include <QStringList>

#include <functional>

class Database;

/// Copies every table of one product database into another, each table in
/// one transaction of the target whose row count is checked before it is
/// committed. Everything that can be checked beforehand (unknown tables or
/// columns, a target that already holds data) is checked before anything is
/// written. A target without tables first gets the product schema.
class TableCopy
{
public:
    using Progress = std::function<void(const QString &table, qint64 done, qint64 total)>;

    TableCopy(Database &from, Database &to) : m_from(from), m_to(to) {}

    /// Allows a target that holds data: its rows are replaced, table by table.
    void setReplace(bool on) { m_replace = on; }
    /// Called after each batch of rows written.
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    /// A failure with the reason. Tables committed before a failure stay
    /// copied; the failing table is rolled back.
    jx::Result<> run();
    /// "table: N rows" for each committed table.
    QStringList copied() const { return m_copied; }

private:
    jx::Result<> copyTable(const QString &source, const QString &target, const QStringList &columns);

    Database &m_from;
    Database &m_to;
    bool m_replace = false;
    Progress m_progress;
    QStringList m_copied;
};
