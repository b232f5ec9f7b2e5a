#include "jxedit/RecordStore.h"

namespace jxedit {

RecordStore::RecordStore(DataLink link, FunctionDefinition definition)
    : m_def(std::move(definition)), m_link(std::move(link))
{
}

bool RecordStore::load(int id, QVariantMap &values, int &version, QString &why) const
{
    QStringList fields;
    for (const ColumnDef &c : m_def.columns)
        fields << c.field;
    DataLink::Rows rows;
    if (!m_link.select(QStringLiteral("select %1,version from %2 where %3=?").arg(fields.join(u','), m_def.table, m_def.keyField),
                       {id}, rows, why))
        return false;
    if (rows.rows.isEmpty()) {
        why = QStringLiteral("记录<%1>不存在，可能已被删除").arg(id);
        return false;
    }
    values.clear();
    const QVector<QVariant> &row = rows.rows.first();
    for (int i = 0; i < fields.size(); ++i)
        values.insert(fields.at(i), row.value(i));
    version = row.value(fields.size()).toInt();
    return true;
}

int RecordStore::idOfCode(const QString &code, QString &why) const
{
    if (m_def.codeField.isEmpty())
        return 0;
    QVariant value;
    if (!m_link.scalar(QStringLiteral("select %1 from %2 where %3=?").arg(m_def.keyField, m_def.table, m_def.codeField),
                       {code}, value, why))
        return 0;
    return value.toInt();
}

int RecordStore::neighbour(int id, bool forward) const
{
    QVariant value;
    QString why;
    const QString sql = forward ? QStringLiteral("select min(%1) from %2 where %1>?") : QStringLiteral("select max(%1) from %2 where %1<?");
    if (!m_link.scalar(sql.arg(m_def.keyField, m_def.table), {id}, value, why))
        return 0;
    return value.toInt();
}

bool RecordStore::duplicateCode(const QVariantMap &values, int id, QString &why, bool &failed) const
{
    failed = false;
    if (m_def.codeField.isEmpty() || !values.contains(m_def.codeField))
        return false;
    QVariant count;
    if (!m_link.scalar(QStringLiteral("select count(*) from %1 where %2=? and %3<>?").arg(m_def.table, m_def.codeField, m_def.keyField),
                       {values.value(m_def.codeField), id}, count, why)) {
        failed = true;
        return false;
    }
    if (count.toInt() == 0)
        return false;
    const int col = m_def.columnIndex(m_def.codeField);
    why = QStringLiteral("“%1”%2 已存在，不能重复").arg(col >= 0 ? m_def.columns.at(col).caption : m_def.codeField,
                                                   values.value(m_def.codeField).toString());
    return true;
}

RecordStore::Outcome RecordStore::insert(const QVariantMap &values, int &id, QString &why) const
{
    if (!m_link.begin(why))
        return Outcome::Failed;
    auto fail = [&](Outcome outcome) {
        m_link.rollback();
        return outcome;
    };
    bool failed = false;
    if (duplicateCode(values, 0, why, failed))
        return fail(Outcome::Refused);
    if (failed)
        return fail(Outcome::Failed);
    // The new key is taken inside the transaction; the primary key refuses a
    // second workstation that took the same one.
    QVariant last;
    if (!m_link.scalar(QStringLiteral("select max(%1) from %2").arg(m_def.keyField, m_def.table), {}, last, why))
        return fail(Outcome::Failed);
    id = last.toInt() + 1;
    QStringList fields{m_def.keyField}, marks{QStringLiteral("?")};
    QVariantList params{id};
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        fields << it.key();
        marks << QStringLiteral("?");
        params << it.value();
    }
    if (m_link.execute(QStringLiteral("insert into %1 (%2) values (%3)").arg(m_def.table, fields.join(u','), marks.join(u',')),
                       params, why) != 1)
        return fail(Outcome::Failed);
    if (!m_link.commit(why))
        return fail(Outcome::Failed);
    return Outcome::Done;
}

RecordStore::Outcome RecordStore::update(int id, const QVariantMap &values, int version, bool force, QString &why) const
{
    if (!m_link.begin(why))
        return Outcome::Failed;
    auto fail = [&](Outcome outcome) {
        m_link.rollback();
        return outcome;
    };
    bool failed = false;
    if (duplicateCode(values, id, why, failed))
        return fail(Outcome::Refused);
    if (failed)
        return fail(Outcome::Failed);
    QStringList sets;
    QVariantList params;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        sets << it.key() + QStringLiteral("=?");
        params << it.value();
    }
    QString sql = QStringLiteral("update %1 set %2,version=version+1 where %3=?").arg(m_def.table, sets.join(u','), m_def.keyField);
    params << id;
    if (!force) {
        sql += QStringLiteral(" and version=?");
        params << version;
    }
    const int changed = m_link.execute(sql, params, why);
    if (changed < 0)
        return fail(Outcome::Failed);
    if (changed == 0) {
        why = force ? QStringLiteral("记录<%1>已被删除").arg(id) : QStringLiteral("记录<%1>在打开后已被他人修改").arg(id);
        return fail(force ? Outcome::Refused : Outcome::Changed);
    }
    if (!m_link.commit(why))
        return fail(Outcome::Failed);
    return Outcome::Done;
}

RecordStore::Outcome RecordStore::remove(int id, int version, QString &why) const
{
    if (!m_link.begin(why))
        return Outcome::Failed;
    auto fail = [&](Outcome outcome) {
        m_link.rollback();
        return outcome;
    };
    if (!m_def.deleteGuard.isEmpty()) {
        QVariant count;
        if (!m_link.scalar(m_def.deleteGuard, {id}, count, why))
            return fail(Outcome::Failed);
        if (count.toInt() > 0) {
            why = m_def.guardText.isEmpty() ? QStringLiteral("该记录已被引用，不能删除") : m_def.guardText;
            return fail(Outcome::Refused);
        }
    }
    const int changed = m_link.execute(QStringLiteral("delete from %1 where %2=? and version=?").arg(m_def.table, m_def.keyField),
                                       {id, version}, why);
    if (changed < 0)
        return fail(Outcome::Failed);
    if (changed == 0) {
        why = QStringLiteral("记录<%1>在打开后已被他人修改或删除").arg(id);
        return fail(Outcome::Changed);
    }
    if (!m_link.commit(why))
        return fail(Outcome::Failed);
    return Outcome::Done;
}

} // namespace jxedit
