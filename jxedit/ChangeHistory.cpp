#include "jxedit/ChangeHistory.h"

#include <QDateTime>

namespace jxedit {

ChangeHistory::ChangeHistory(DataLink link, QString user) : m_link(std::move(link)), m_user(std::move(user)) {}

jx::Result<> ChangeHistory::record(const QString &table, int id, int version, const QString &action, const QVector<Change> &changes) const
{
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    for (const Change &c : changes) {
        const auto inserted = m_link.execute(QStringLiteral("insert into jx_history (tablename,recordid,version,field,action,username,changedat,oldvalue,newvalue)"
                                                            " values (?,?,?,?,?,?,?,?,?)"),
                                             {table, id, version, c.field, action, m_user, now, c.oldValue, c.newValue});
        // Anything but the one row is a failure; the engine gives a reason only for an error.
        if (!inserted || *inserted != 1)
            return jx::fail(inserted.error());
    }
    // Every workstation hears of the change when, and only if, it is committed.
    const QString kind = action == u"新增" ? QStringLiteral("insert") : action == u"删除" ? QStringLiteral("delete") : QStringLiteral("update");
    return m_link.publishChange(table, id, kind, m_user);
}

jx::Result<DataLink::Rows> ChangeHistory::read(const QString &table, int id) const
{
    return m_link.select(QStringLiteral("select changedat,username,action,field,oldvalue,newvalue,version from jx_history"
                                        " where tablename=? and recordid=? order by version desc,field"),
                         {table, id});
}

jx::Result<QVariant> ChangeHistory::highestId(const QString &table) const
{
    return m_link.scalar(QStringLiteral("select max(recordid) from jx_history where tablename=?"), {table});
}

} // namespace jxedit
