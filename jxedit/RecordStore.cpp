#include "jxedit/RecordStore.h"

#include "jxedit/RowModel.h"

namespace jxedit {

RecordStore::RecordStore(DataLink link, FunctionDefinition definition, QString user)
    : m_def(std::move(definition)), m_link(link), m_history(link, std::move(user)), m_rules(link, m_history)
{
}

jx::Result<RecordStore::Record> RecordStore::load(int id) const
{
    QStringList fields;
    for (const ColumnDef &c : m_def.columns)
        fields << c.field;
    const auto rows =
        m_link.select(QStringLiteral("select %1,version from %2 where %3=?").arg(fields.join(u','), m_def.table, m_def.keyField), {id});
    if (!rows)
        return jx::fail(rows.error());
    if (rows->rows.isEmpty())
        return jx::fail(QStringLiteral("记录<%1>不存在，可能已被删除").arg(id));
    Record record;
    const QVector<QVariant> &row = rows->rows.first();
    for (int i = 0; i < fields.size(); ++i)
        record.values.insert(fields.at(i), row.value(i));
    record.version = row.value(fields.size()).toInt();
    return record;
}

jx::Result<int> RecordStore::idOfCode(const QString &code) const
{
    if (m_def.codeField.isEmpty())
        return 0;
    const auto value =
        m_link.scalar(QStringLiteral("select %1 from %2 where lower(%3)=lower(?)").arg(m_def.keyField, m_def.table, m_def.codeField),
                      {code.trimmed()});
    if (!value)
        return jx::fail(value.error());
    return value->toInt();
}

int RecordStore::neighbour(int id, bool forward) const
{
    const QString sql = forward ? QStringLiteral("select min(%1) from %2 where %1>?") : QStringLiteral("select max(%1) from %2 where %1<?");
    // A neighbour that cannot be read is no neighbour: the form stays where it is.
    return m_link.scalar(sql.arg(m_def.keyField, m_def.table), {id}).valueOr(QVariant()).toInt();
}

jx::Result<QString> RecordStore::duplicateCode(const QVariantMap &values, int id) const
{
    if (m_def.codeField.isEmpty() || !values.contains(m_def.codeField) || values.value(m_def.codeField).toString().isEmpty())
        return QString();
    // " fy000400 " and "FY000400" are one code.
    const auto other =
        m_link.scalar(QStringLiteral("select %1 from %2 where lower(%1)=lower(?) and %3<>?").arg(m_def.codeField, m_def.table, m_def.keyField),
                      {values.value(m_def.codeField).toString().trimmed(), id});
    if (!other)
        return jx::fail(other.error());
    if (!other->isValid() || other->isNull())
        return QString();
    const int col = m_def.columnIndex(m_def.codeField);
    return QStringLiteral("“%1”%2 已存在，不能重复").arg(col >= 0 ? m_def.columns.at(col).caption : m_def.codeField, other->toString());
}

jx::Result<QString> RecordStore::nextCode(const QString &pattern, const QDate &day) const
{
    QString prefix = pattern;
    prefix.replace(QStringLiteral("yyyyMMdd"), day.toString(QStringLiteral("yyyyMMdd")));
    int digits = 0;
    while (prefix.endsWith(u'#')) {
        prefix.chop(1);
        ++digits;
    }
    if (digits == 0)
        return jx::fail(QStringLiteral("编号规则“%1”没有序号位").arg(pattern));
    // Fixed-width numbers sort as text, so the highest code of the prefix has the highest number.
    const auto last = m_link.scalar(QStringLiteral("select max(%1) from %2 where %1 like ? and length(%1)=?").arg(m_def.codeField, m_def.table),
                                     {prefix + u'%', int(prefix.size() + digits)});
    if (!last)
        return jx::fail(last.error());
    bool ok = false;
    const qlonglong number = last->toString().mid(prefix.size()).toLongLong(&ok);
    const QString code = prefix + QStringLiteral("%1").arg((ok ? number : 0) + 1, digits, 10, QLatin1Char('0'));
    if (code.size() > prefix.size() + digits)
        return jx::fail(QStringLiteral("编号“%1”的序号已用完，请手工填写编号").arg(prefix));
    return code;
}

QString RecordStore::shown(const QString &field, const QVariant &value) const
{
    const int col = m_def.columnIndex(field);
    if (col < 0)
        return value.toString();
    const ColumnDef &c = m_def.columns.at(col);
    return c.isNumeric() ? RowModel::text(c, value.isValid() && !value.isNull() ? QVariant(value.toDouble()) : value) : value.toString();
}

RecordStore::Written RecordStore::insert(QVariantMap &values, const Step &step) const
{
    if (const auto begun = m_link.begin(); !begun)
        return {Outcome::Failed, jx::fail(begun.error())};
    auto fail = [&](Outcome outcome, const QString &why) {
        m_link.rollback();
        return Written{outcome, jx::fail(why)};
    };
    if (!m_def.codeField.isEmpty() && !m_def.codePattern.isEmpty() && values.value(m_def.codeField).toString().trimmed().isEmpty()) {
        const auto code = nextCode(m_def.codePattern, QDate::currentDate());
        if (!code)
            return fail(Outcome::Refused, code.error());
        values.insert(m_def.codeField, *code);
    }
    if (const auto ruled = m_rules.prepare(m_def.table, values); !ruled)
        return fail(Outcome::Refused, ruled.error());
    const auto duplicate = duplicateCode(values, 0);
    if (!duplicate)
        return fail(Outcome::Failed, duplicate.error());
    if (!duplicate->isEmpty())
        return fail(Outcome::Refused, *duplicate);
    if (const auto ruled = m_rules.check(m_def.table, 0, {}, values); !ruled)
        return fail(Outcome::Refused, ruled.error());
    // The new key is taken inside the transaction, above every key the table
    // ever had; the primary key refuses a second workstation that took the same one.
    const auto last = m_link.scalar(QStringLiteral("select max(%1) from %2").arg(m_def.keyField, m_def.table), {});
    if (!last)
        return fail(Outcome::Failed, last.error());
    const auto lastKept = m_history.highestId(m_def.table);
    if (!lastKept)
        return fail(Outcome::Failed, lastKept.error());
    const int id = qMax(last->toInt(), lastKept->toInt()) + 1;
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
    const auto inserted =
        m_link.execute(QStringLiteral("insert into %1 (%2) values (%3)").arg(m_def.table, fields.join(u','), marks.join(u',')), params);
    if (!inserted)
        return fail(Outcome::Failed, inserted.error());
    if (*inserted != 1)
        return fail(Outcome::Failed, QString());
    if (const auto ruled = m_rules.apply(m_def.table, id, {}, values); !ruled)
        return fail(Outcome::Failed, ruled.error());
    if (const auto kept = m_history.record(m_def.table, id, 1, QStringLiteral("新增"), changes); !kept)
        return fail(Outcome::Failed, kept.error());
    if (step)
        if (const auto stepped = step(id, values); !stepped)
            return fail(Outcome::Refused, stepped.error());
    if (const auto committed = m_link.commit(); !committed)
        return fail(Outcome::Failed, committed.error());
    return {Outcome::Done, id};
}

RecordStore::Written RecordStore::update(int id, const QVariantMap &typed, int version, bool force) const
{
    if (const auto begun = m_link.begin(); !begun)
        return {Outcome::Failed, jx::fail(begun.error())};
    auto fail = [&](Outcome outcome, const QString &why) {
        m_link.rollback();
        return Written{outcome, jx::fail(why)};
    };
    const auto loaded = load(id);
    if (!loaded)
        return fail(Outcome::Refused, loaded.error());
    const QVariantMap &before = loaded->values;
    const int stored = loaded->version;
    if (!force && stored != version)
        return fail(Outcome::Changed, QStringLiteral("记录<%1>在打开后已被他人修改").arg(id));
    QVariantMap values = typed;
    if (const auto ruled = m_rules.prepare(m_def.table, values); !ruled)
        return fail(Outcome::Refused, ruled.error());
    const auto duplicate = duplicateCode(values, id);
    if (!duplicate)
        return fail(Outcome::Failed, duplicate.error());
    if (!duplicate->isEmpty())
        return fail(Outcome::Refused, *duplicate);
    // The rules see the record as it will be: the fields not written keep their stored values.
    QVariantMap after = before;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        after.insert(it.key(), it.value());
    if (const auto ruled = m_rules.check(m_def.table, id, before, after); !ruled)
        return fail(Outcome::Refused, ruled.error());
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
    const auto changed = m_link.execute(
        QStringLiteral("update %1 set %2,version=? where %3=? and version=?").arg(m_def.table, sets.join(u','), m_def.keyField), params);
    if (!changed)
        return fail(Outcome::Failed, changed.error());
    if (*changed == 0)
        return fail(Outcome::Changed, QStringLiteral("记录<%1>在打开后已被他人修改").arg(id));
    if (const auto ruled = m_rules.apply(m_def.table, id, before, after); !ruled)
        return fail(Outcome::Failed, ruled.error());
    if (const auto kept = m_history.record(m_def.table, id, next, QStringLiteral("修改"), changes); !kept)
        return fail(Outcome::Failed, kept.error());
    if (const auto committed = m_link.commit(); !committed)
        return fail(Outcome::Failed, committed.error());
    return {Outcome::Done, id};
}

RecordStore::Written RecordStore::remove(int id, int version) const
{
    if (const auto begun = m_link.begin(); !begun)
        return {Outcome::Failed, jx::fail(begun.error())};
    auto fail = [&](Outcome outcome, const QString &why) {
        m_link.rollback();
        return Written{outcome, jx::fail(why)};
    };
    if (!m_def.deleteGuard.isEmpty()) {
        // The guard may name the record more than once.
        QVariantList ids;
        for (qsizetype i = m_def.deleteGuard.count(u'?'); i > 0; --i)
            ids << id;
        const auto count = m_link.scalar(m_def.deleteGuard, ids, DataLink::Origin::Definition);
        if (!count)
            return fail(Outcome::Failed, count.error());
        if (count->toInt() > 0)
            return fail(Outcome::Refused, m_def.guardText.isEmpty() ? QStringLiteral("该记录已被引用，不能删除") : m_def.guardText);
    }
    const auto loaded = load(id);
    if (!loaded || loaded->version != version)
        return fail(Outcome::Changed, QStringLiteral("记录<%1>在打开后已被他人修改或删除").arg(id));
    const QVariantMap &before = loaded->values;
    if (const auto ruled = m_rules.check(m_def.table, id, before, {}); !ruled)
        return fail(Outcome::Refused, ruled.error());
    const auto changed =
        m_link.execute(QStringLiteral("delete from %1 where %2=? and version=?").arg(m_def.table, m_def.keyField), {id, version});
    if (!changed)
        return fail(Outcome::Failed, changed.error());
    if (*changed == 0)
        return fail(Outcome::Changed, QStringLiteral("记录<%1>在打开后已被他人修改或删除").arg(id));
    // What the record held stays readable in its history.
    QVector<ChangeHistory::Change> changes;
    for (auto it = before.constBegin(); it != before.constEnd(); ++it)
        if (const QString was = shown(it.key(), it.value()); !was.isEmpty())
            changes.append({it.key(), was, QString()});
    if (const auto ruled = m_rules.apply(m_def.table, id, before, {}); !ruled)
        return fail(Outcome::Failed, ruled.error());
    if (const auto kept = m_history.record(m_def.table, id, version + 1, QStringLiteral("删除"), changes); !kept)
        return fail(Outcome::Failed, kept.error());
    if (const auto committed = m_link.commit(); !committed)
        return fail(Outcome::Failed, committed.error());
    return {Outcome::Done, id};
}

} // namespace jxedit
