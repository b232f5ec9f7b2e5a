#include "jxedit/RecordStore.h"

#include "jxedit/RowModel.h"

namespace jxedit {

RecordStore::RecordStore(DataLink link, FunctionDefinition definition, QString user)
    : m_def(std::move(definition)), m_link(link), m_history(link, std::move(user)), m_rules(link, m_history)
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
    if (!m_link.scalar(QStringLiteral("select %1 from %2 where lower(%3)=lower(?)").arg(m_def.keyField, m_def.table, m_def.codeField),
                       {code.trimmed()}, value, why))
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
    if (m_def.codeField.isEmpty() || !values.contains(m_def.codeField) || values.value(m_def.codeField).toString().isEmpty())
        return false;
    // " fy000400 " and "FY000400" are one code.
    QVariant other;
    if (!m_link.scalar(QStringLiteral("select %1 from %2 where lower(%1)=lower(?) and %3<>?").arg(m_def.codeField, m_def.table, m_def.keyField),
                       {values.value(m_def.codeField).toString().trimmed(), id}, other, why)) {
        failed = true;
        return false;
    }
    if (!other.isValid() || other.isNull())
        return false;
    const int col = m_def.columnIndex(m_def.codeField);
    why = QStringLiteral("“%1”%2 已存在，不能重复").arg(col >= 0 ? m_def.columns.at(col).caption : m_def.codeField, other.toString());
    return true;
}

bool RecordStore::nextCode(const QString &pattern, const QDate &day, QString &code, QString &why) const
{
    QString prefix = pattern;
    prefix.replace(QStringLiteral("yyyyMMdd"), day.toString(QStringLiteral("yyyyMMdd")));
    int digits = 0;
    while (prefix.endsWith(u'#')) {
        prefix.chop(1);
        ++digits;
    }
    if (digits == 0) {
        why = QStringLiteral("编号规则“%1”没有序号位").arg(pattern);
        return false;
    }
    // Fixed-width numbers sort as text, so the highest code of the prefix has the highest number.
    QVariant last;
    if (!m_link.scalar(QStringLiteral("select max(%1) from %2 where %1 like ? and length(%1)=?").arg(m_def.codeField, m_def.table),
                       {prefix + u'%', int(prefix.size() + digits)}, last, why))
        return false;
    bool ok = false;
    const qlonglong number = last.toString().mid(prefix.size()).toLongLong(&ok);
    code = prefix + QStringLiteral("%1").arg((ok ? number : 0) + 1, digits, 10, QLatin1Char('0'));
    if (code.size() > prefix.size() + digits) {
        why = QStringLiteral("编号“%1”的序号已用完，请手工填写编号").arg(prefix);
        return false;
    }
    return true;
}

QString RecordStore::shown(const QString &field, const QVariant &value) const
{
    const int col = m_def.columnIndex(field);
    if (col < 0)
        return value.toString();
    const ColumnDef &c = m_def.columns.at(col);
    return c.isNumeric() ? RowModel::text(c, value.isValid() && !value.isNull() ? QVariant(value.toDouble()) : value) : value.toString();
}

RecordStore::Outcome RecordStore::insert(QVariantMap &values, int &id, QString &why, const Step &step) const
{
    if (!m_link.begin(why))
        return Outcome::Failed;
    auto fail = [&](Outcome outcome) {
        m_link.rollback();
        return outcome;
    };
    if (!m_def.codeField.isEmpty() && !m_def.codePattern.isEmpty() && values.value(m_def.codeField).toString().trimmed().isEmpty()) {
        QString code;
        if (!nextCode(m_def.codePattern, QDate::currentDate(), code, why))
            return fail(Outcome::Refused);
        values.insert(m_def.codeField, code);
    }
    if (const auto ruled = m_rules.prepare(m_def.table, values); !ruled) {
        why = ruled.error();
        return fail(Outcome::Refused);
    }
    bool failed = false;
    if (duplicateCode(values, 0, why, failed))
        return fail(Outcome::Refused);
    if (failed)
        return fail(Outcome::Failed);
    if (const auto ruled = m_rules.check(m_def.table, 0, {}, values); !ruled) {
        why = ruled.error();
        return fail(Outcome::Refused);
    }
    // The new key is taken inside the transaction, above every key the table
    // ever had; the primary key refuses a second workstation that took the same one.
    QVariant last;
    if (!m_link.scalar(QStringLiteral("select max(%1) from %2").arg(m_def.keyField, m_def.table), {}, last, why))
        return fail(Outcome::Failed);
    const auto lastKept = m_history.highestId(m_def.table);
    if (!lastKept) {
        why = lastKept.error();
        return fail(Outcome::Failed);
    }
    id = qMax(last.toInt(), lastKept->toInt()) + 1;
    QStringList fields{m_def.keyField}, marks{QStringLiteral("?")};
    QVariantList params{id};
    QVector<ChangeHistory::Change> changes;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        fields << it.key();
        marks << QStringLiteral("?");
        params << it.value();
        if (const QString now = shown(it.key(), it.value()); !now.isEmpty())
            changes.append({it.key(), QString(), now});
    }
    if (m_link.execute(QStringLiteral("insert into %1 (%2) values (%3)").arg(m_def.table, fields.join(u','), marks.join(u',')),
                       params, why) != 1)
        return fail(Outcome::Failed);
    if (const auto ruled = m_rules.apply(m_def.table, id, {}, values); !ruled) {
        why = ruled.error();
        return fail(Outcome::Failed);
    }
    if (const auto kept = m_history.record(m_def.table, id, 1, QStringLiteral("新增"), changes); !kept) {
        why = kept.error();
        return fail(Outcome::Failed);
    }
    if (step && !step(id, values, why))
        return fail(Outcome::Refused);
    if (!m_link.commit(why))
        return fail(Outcome::Failed);
    return Outcome::Done;
}

RecordStore::Outcome RecordStore::update(int id, const QVariantMap &typed, int version, bool force, QString &why) const
{
    if (!m_link.begin(why))
        return Outcome::Failed;
    auto fail = [&](Outcome outcome) {
        m_link.rollback();
        return outcome;
    };
    QVariantMap before;
    int stored = 0;
    if (!load(id, before, stored, why))
        return fail(Outcome::Refused);
    if (!force && stored != version) {
        why = QStringLiteral("记录<%1>在打开后已被他人修改").arg(id);
        return fail(Outcome::Changed);
    }
    QVariantMap values = typed;
    if (const auto ruled = m_rules.prepare(m_def.table, values); !ruled) {
        why = ruled.error();
        return fail(Outcome::Refused);
    }
    bool failed = false;
    if (duplicateCode(values, id, why, failed))
        return fail(Outcome::Refused);
    if (failed)
        return fail(Outcome::Failed);
    // The rules see the record as it will be: the fields not written keep their stored values.
    QVariantMap after = before;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        after.insert(it.key(), it.value());
    if (const auto ruled = m_rules.check(m_def.table, id, before, after); !ruled) {
        why = ruled.error();
        return fail(Outcome::Refused);
    }
    QStringList sets;
    QVariantList params;
    QVector<ChangeHistory::Change> changes;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        sets << it.key() + QStringLiteral("=?");
        params << it.value();
        const QString was = shown(it.key(), before.value(it.key())), now = shown(it.key(), it.value());
        if (was != now)
            changes.append({it.key(), was, now});
    }
    const int next = stored + 1;
    params << next << id << stored;
    const int changed = m_link.execute(
        QStringLiteral("update %1 set %2,version=? where %3=? and version=?").arg(m_def.table, sets.join(u','), m_def.keyField), params, why);
    if (changed < 0)
        return fail(Outcome::Failed);
    if (changed == 0) {
        why = QStringLiteral("记录<%1>在打开后已被他人修改").arg(id);
        return fail(Outcome::Changed);
    }
    if (const auto ruled = m_rules.apply(m_def.table, id, before, after); !ruled) {
        why = ruled.error();
        return fail(Outcome::Failed);
    }
    if (const auto kept = m_history.record(m_def.table, id, next, QStringLiteral("修改"), changes); !kept) {
        why = kept.error();
        return fail(Outcome::Failed);
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
        // The guard may name the record more than once.
        QVariantList ids;
        for (qsizetype i = m_def.deleteGuard.count(u'?'); i > 0; --i)
            ids << id;
        QVariant count;
        if (!m_link.scalar(m_def.deleteGuard, ids, count, why, DataLink::Origin::Definition))
            return fail(Outcome::Failed);
        if (count.toInt() > 0) {
            why = m_def.guardText.isEmpty() ? QStringLiteral("该记录已被引用，不能删除") : m_def.guardText;
            return fail(Outcome::Refused);
        }
    }
    QVariantMap before;
    int stored = 0;
    if (!load(id, before, stored, why) || stored != version) {
        why = QStringLiteral("记录<%1>在打开后已被他人修改或删除").arg(id);
        return fail(Outcome::Changed);
    }
    if (const auto ruled = m_rules.check(m_def.table, id, before, {}); !ruled) {
        why = ruled.error();
        return fail(Outcome::Refused);
    }
    const int changed = m_link.execute(QStringLiteral("delete from %1 where %2=? and version=?").arg(m_def.table, m_def.keyField),
                                       {id, version}, why);
    if (changed < 0)
        return fail(Outcome::Failed);
    if (changed == 0) {
        why = QStringLiteral("记录<%1>在打开后已被他人修改或删除").arg(id);
        return fail(Outcome::Changed);
    }
    // What the record held stays readable in its history.
    QVector<ChangeHistory::Change> changes;
    for (auto it = before.constBegin(); it != before.constEnd(); ++it)
        if (const QString was = shown(it.key(), it.value()); !was.isEmpty())
            changes.append({it.key(), was, QString()});
    if (const auto ruled = m_rules.apply(m_def.table, id, before, {}); !ruled) {
        why = ruled.error();
        return fail(Outcome::Failed);
    }
    if (const auto kept = m_history.record(m_def.table, id, version + 1, QStringLiteral("删除"), changes); !kept) {
        why = kept.error();
        return fail(Outcome::Failed);
    }
    if (!m_link.commit(why))
        return fail(Outcome::Failed);
    return Outcome::Done;
}

} // namespace jxedit
