#include "jxedit/ChangeHistory.h"

#include <QDateTime>

namespace jxedit {

ChangeHistory::ChangeHistory(DataLink link, QString user) : m_link(std::move(link)), m_user(std::move(user)) {}

bool ChangeHistory::record(const QString &table, int id, int version, const QString &action, const QVector<Change> &changes,
                           QString &why) const
{
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    for (const Change &c : changes) {
        if (m_link.execute(QStringLiteral("insert into jx_history (tablename,recordid,version,field,action,username,changedat,oldvalue,newvalue)"
                                          " values (?,?,?,?,?,?,?,?,?)"),
                           {table, id, version, c.field, action, m_user, now, c.oldValue, c.newValue}, why)
            != 1)
            return false;
    }
    // Every workstation hears of the change when, and only if, it is committed.
    const QString kind = action == u"新增" ? QStringLiteral("insert") : action == u"删除" ? QStringLiteral("delete") : QStringLiteral("update");
    return m_link.publishChange(table, id, kind, m_user, why);
}

bool ChangeHistory::read(const QString &table, int id, DataLink::Rows &rows, QString &why) const
{
    return m_link.select(QStringLiteral("select changedat,username,action,field,oldvalue,newvalue,version from jx_history"
                                        " where tablename=? and recordid=? order by version desc,field"),
                         {table, id}, rows, why);
}

bool ChangeHistory::highestId(const QString &table, QVariant &value, QString &why) const
{
    return m_link.scalar(QStringLiteral("select max(recordid) from jx_history where tablename=?"), {table}, value, why);
}

} // namespace jxedit
