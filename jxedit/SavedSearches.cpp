#include "jxedit/SavedSearches.h"

#include <QDateTime>

namespace jxedit {

SavedSearches::SavedSearches(const DataLink &link, const QString &user, int progId) : m_link(link), m_user(user), m_progId(progId)
{
}

bool SavedSearches::checkName(QString &name, QString &why)
{
    name = name.trimmed();
    if (name.isEmpty()) {
        why = QStringLiteral("请输入查找条件的名称");
        return false;
    }
    if (name.size() > kNameLength) {
        why = QStringLiteral("查找条件的名称不能超过 %1 个字").arg(kNameLength);
        return false;
    }
    return true;
}

bool SavedSearches::names(QStringList &out, QString &why) const
{
    out.clear();
    DataLink::Rows rows;
    if (!m_link.select(QStringLiteral("select name from jx_savedsearch where username=? and progid=? order by name"), {m_user, m_progId},
                       rows, why)) {
        why = QStringLiteral("读取已存的查找条件出错：%1").arg(why);
        return false;
    }
    for (const QVector<QVariant> &r : rows.rows)
        out << r.value(0).toString();
    return true;
}

bool SavedSearches::exists(const QString &name, bool &found, QString &why) const
{
    QVariant count;
    if (!m_link.scalar(QStringLiteral("select count(*) from jx_savedsearch where username=? and progid=? and name=?"),
                       {m_user, m_progId, name.trimmed()}, count, why)) {
        why = QStringLiteral("读取已存的查找条件出错：%1").arg(why);
        return false;
    }
    found = count.toInt() > 0;
    return true;
}

bool SavedSearches::save(const QString &name, const QString &conditions, QString &why) const
{
    QString n = name;
    if (!checkName(n, why))
        return false;
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!m_link.begin(why)) {
        why = QStringLiteral("保存查找条件失败：%1").arg(why);
        return false;
    }
    int changed = m_link.execute(QStringLiteral("update jx_savedsearch set conditions=?,savedat=? where username=? and progid=? and name=?"),
                                 {conditions, now, m_user, m_progId, n}, why);
    if (changed == 0)
        changed = m_link.execute(QStringLiteral("insert into jx_savedsearch (username,progid,name,conditions,savedat) values (?,?,?,?,?)"),
                                 {m_user, m_progId, n, conditions, now}, why);
    if (changed < 0 || !m_link.commit(why)) {
        m_link.rollback();
        why = QStringLiteral("保存查找条件失败：%1").arg(why);
        return false;
    }
    return true;
}

bool SavedSearches::load(const QString &name, QString &conditions, QString &why) const
{
    DataLink::Rows rows;
    if (!m_link.select(QStringLiteral("select conditions from jx_savedsearch where username=? and progid=? and name=?"),
                       {m_user, m_progId, name.trimmed()}, rows, why)) {
        why = QStringLiteral("读取查找条件出错：%1").arg(why);
        return false;
    }
    if (rows.rows.isEmpty()) {
        why = QStringLiteral("没有名为“%1”的查找条件，可能已被删除").arg(name.trimmed());
        return false;
    }
    conditions = rows.rows.first().value(0).toString();
    return true;
}

bool SavedSearches::remove(const QString &name, QString &why) const
{
    if (m_link.execute(QStringLiteral("delete from jx_savedsearch where username=? and progid=? and name=?"), {m_user, m_progId, name.trimmed()},
                       why)
        < 0) {
        why = QStringLiteral("删除查找条件失败：%1").arg(why);
        return false;
    }
    return true;
}

} // namespace jxedit
