#pragma once

#include "jxedit/DataLink.h"

#include <QString>
#include <QVector>

namespace jxedit {

/// Who changed what: one row per changed field of each save and delete, kept
/// in jx_history and written inside the transaction of the change itself.
class ChangeHistory
{
public:
    struct Change
    {
        QString field, oldValue, newValue;
    };

    ChangeHistory(DataLink link, QString user);

    /// `version` is the record's version after the change. Also tells the
    /// other workstations that the record changed (no rows for no changes,
    /// but the notice still goes: the version moved).
    jx::Result<> record(const QString &table, int id, int version, const QString &action, const QVector<Change> &changes) const;
    /// The record's history, newest first: time, user, action, field, old, new.
    jx::Result<DataLink::Rows> read(const QString &table, int id) const;
    /// The highest record number the table ever had, deleted ones included,
    /// so that a new record never takes over a deleted one's history.
    jx::Result<QVariant> highestId(const QString &table) const;

private:
    DataLink m_link;
    QString m_user;
};

} // namespace jxedit
