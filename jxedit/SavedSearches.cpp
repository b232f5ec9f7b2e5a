#include "jxedit/SavedSearches.h"

#include <QDateTime>

namespace jxedit {

SavedSearches::SavedSearches(const DataLink &link, const QString &user, int progId) : m_link(link), m_user(user), m_progId(progId)
{
}

jx::Result<QString> SavedSearches::checkName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return jx::fail(QStringLiteral("请输入查找条件的名称"));
    if (trimmed.size() > kNameLength)
        return jx::fail(QStringLiteral("查找条件的名称不能超过 %1 个字").arg(kNameLength));
    return trimmed;
}

jx::Result<QStringList> SavedSearches::names() const
{
    const auto rows = m_link.select(QStringLiteral("select name from jx_savedsearch where username=? and progid=? order by name"), {m_user, m_progId});
    if (!rows)
        return jx::fail(QStringLiteral("读取已存的查找条件出错：%1").arg(rows.error()));
    QStringList out;
    for (const QVector<QVariant> &r : rows->rows)
        out << r.value(0).toString();
    return out;
}

jx::Result<bool> SavedSearches::exists(const QString &name) const
{
    const auto count = m_link.scalar(QStringLiteral("select count(*) from jx_savedsearch where username=? and progid=? and name=?"),
                                     {m_user, m_progId, name.trimmed()});
    if (!count)
        return jx::fail(QStringLiteral("读取已存的查找条件出错：%1").arg(count.error()));
    return count->toInt() > 0;
}

jx::Result<> SavedSearches::save(const QString &name, const QString &conditions) const
{
    const auto checked = checkName(name);
    if (!checked)
        return jx::fail(checked.error());
    const QString &n = *checked;
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (const auto begun = m_link.begin(); !begun)
        return jx::fail(QStringLiteral("保存查找条件失败：%1").arg(begun.error()));
    auto changed = m_link.execute(QStringLiteral("update jx_savedsearch set conditions=?,savedat=? where username=? and progid=? and name=?"),
                                  {conditions, now, m_user, m_progId, n});
    if (changed && *changed == 0)
        changed = m_link.execute(QStringLiteral("insert into jx_savedsearch (username,progid,name,conditions,savedat) values (?,?,?,?,?)"),
                                 {m_user, m_progId, n, conditions, now});
    jx::Result<> done = changed ? m_link.commit() : jx::Result<>(jx::fail(changed.error()));
    if (!done) {
        m_link.rollback();
        return jx::fail(QStringLiteral("保存查找条件失败：%1").arg(done.error()));
    }
    return {};
}

jx::Result<QString> SavedSearches::load(const QString &name) const
{
    const auto rows = m_link.select(QStringLiteral("select conditions from jx_savedsearch where username=? and progid=? and name=?"),
                                    {m_user, m_progId, name.trimmed()});
    if (!rows)
        return jx::fail(QStringLiteral("读取查找条件出错：%1").arg(rows.error()));
    if (rows->rows.isEmpty())
        return jx::fail(QStringLiteral("没有名为“%1”的查找条件，可能已被删除").arg(name.trimmed()));
    return rows->rows.first().value(0).toString();
}

jx::Result<> SavedSearches::remove(const QString &name) const
{
    if (const auto removed = m_link.execute(QStringLiteral("delete from jx_savedsearch where username=? and progid=? and name=?"),
                                            {m_user, m_progId, name.trimmed()});
        !removed)
        return jx::fail(QStringLiteral("删除查找条件失败：%1").arg(removed.error()));
    return {};
}

} // namespace jxedit
