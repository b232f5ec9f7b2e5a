#include "jxedit/DataLink.h"

#include "platform/com/LateBound.h"

namespace jxedit {

namespace {

std::vector<com::Variant> statementArgs(const QString &sql, const QVariantList &params)
{
    std::vector<com::Variant> args{com::Variant::fromString(sql)};
    for (const QVariant &p : params)
        args.push_back(p.isValid() && !p.isNull() ? com::Variant::fromQVariant(p) : com::Variant::null());
    return args;
}

} // namespace

DataLink::DataLink(IDispatch *database) : m_db(database) {}

jx::Result<DataLink> DataLink::fromContext(IDispatch *context)
{
    if (!context)
        return jx::fail(QStringLiteral("没有得到应用环境对象"));
    try {
        const com::Variant db = com::get(context, QStringLiteral("Database"));
        if (IDispatch *object = com::asDispatch(db))
            return DataLink(object);
        return jx::fail(QStringLiteral("应用环境没有连接数据库"));
    } catch (const com::RuntimeError &e) {
        return jx::fail(e.description());
    }
}

QString DataLink::driver() const
{
    if (!m_db)
        return {};
    try {
        // Properties(name) is a named value; its Value is the text.
        const com::Variant item = com::call(m_db.get(), QStringLiteral("Properties"), {com::Variant::fromString(QStringLiteral("driver"))});
        if (IDispatch *named = com::asDispatch(item))
            return com::toQVariant(com::get(named, QStringLiteral("Value"))).toString();
        return com::toQVariant(item).toString();
    } catch (const com::RuntimeError &) {
        return {};
    }
}

QString DataLink::takeError() const
{
    try {
        const QString text = com::toQVariant(com::getPath(m_db.get(), QStringLiteral("LastError.Description"))).toString();
        com::call(m_db.get(), QStringLiteral("ResetError"));
        return text;
    } catch (const com::RuntimeError &e) {
        return e.description();
    }
}

jx::Result<DataLink::Cursor> DataLink::open(const QString &sql, const QVariantList &params, Origin origin) const
{
    if (!m_db)
        return jx::fail(QStringLiteral("数据库没有连接"));
    try {
        takeError();
        const QString member = origin == Origin::Definition ? QStringLiteral("ReadParams") : QStringLiteral("QueryParams");
        const com::Variant result = com::call(m_db.get(), member, statementArgs(sql, params));
        if (const QString why = takeError(); !why.isEmpty())
            return jx::fail(why);
        Cursor cursor;
        cursor.m_recordset = com::objectOf(com::get(com::objectOf(result).get(), QStringLiteral("Recordset")));
        cursor.m_end = com::toQVariant(com::get(cursor.m_recordset.get(), QStringLiteral("EOF"))).toBool();
        // The field names are read from the first row; an empty result has none to give.
        for (int i = 0; !cursor.m_end && i < 500; ++i) {
            try {
                const com::Variant field = com::call(cursor.m_recordset.get(), QStringLiteral("Fields"), {com::Variant::fromInt32(i)});
                cursor.columns << com::toQVariant(com::get(com::objectOf(field).get(), QStringLiteral("Name"))).toString();
            } catch (const com::RuntimeError &) {
                break;
            }
        }
        return cursor;
    } catch (const com::RuntimeError &e) {
        return jx::fail(e.description());
    }
}

bool DataLink::Cursor::atEnd() const { return m_end || !m_recordset; }

void DataLink::Cursor::fetch(int count, QVector<QVector<QVariant>> &rows)
{
    if (atEnd())
        return;
    const com::Variant block = com::call(m_recordset.get(), QStringLiteral("GetRows"), {com::Variant::fromInt32(count)});
    const QVector<QVector<QVariant>> cells = com::tableOf(block); // cells[field][row]
    const int rowCount = cells.isEmpty() ? 0 : int(cells.first().size());
    const int first = int(rows.size());
    rows.resize(first + rowCount);
    for (int r = 0; r < rowCount; ++r) {
        QVector<QVariant> &row = rows[first + r];
        row.reserve(cells.size());
        for (const QVector<QVariant> &field : cells)
            row.append(field.at(r));
    }
    m_end = rowCount < count || com::toQVariant(com::get(m_recordset.get(), QStringLiteral("EOF"))).toBool();
}

jx::Result<DataLink::Rows> DataLink::select(const QString &sql, const QVariantList &params, Origin origin) const
{
    auto cursor = open(sql, params, origin);
    if (!cursor)
        return jx::fail(cursor.error());
    Rows out;
    out.columns = cursor->columns;
    try {
        while (!cursor->atEnd())
            cursor->fetch(5000, out.rows);
    } catch (const com::RuntimeError &e) {
        return jx::fail(e.description());
    }
    return out;
}

jx::Result<QVariant> DataLink::scalar(const QString &sql, const QVariantList &params, Origin origin) const
{
    const auto rows = select(sql, params, origin);
    if (!rows)
        return jx::fail(rows.error());
    return rows->rows.isEmpty() || rows->rows.first().isEmpty() ? QVariant() : rows->rows.first().first();
}

jx::Result<int> DataLink::execute(const QString &sql, const QVariantList &params) const
{
    if (!m_db)
        return jx::fail(QStringLiteral("数据库没有连接"));
    try {
        takeError();
        const int count = com::toQVariant(com::call(m_db.get(), QStringLiteral("ExecuteParams"), statementArgs(sql, params))).toInt();
        if (count < 0) {
            const QString why = takeError();
            return jx::fail(why.isEmpty() ? QStringLiteral("执行SQL语句出错") : why);
        }
        return count;
    } catch (const com::RuntimeError &e) {
        return jx::fail(e.description());
    }
}

jx::Result<> DataLink::publishChange(const QString &table, const QVariant &key, const QString &kind, const QString &user) const
{
    if (!m_db)
        return jx::fail(QStringLiteral("数据库没有连接"));
    try {
        takeError();
        const bool ok = com::toQVariant(com::call(m_db.get(), QStringLiteral("PublishChange"),
                                                  {com::Variant::fromString(table), com::Variant::fromQVariant(key),
                                                   com::Variant::fromString(kind), com::Variant::fromString(user)}))
                            .toBool();
        if (!ok)
            return jx::fail(takeError());
        return {};
    } catch (const com::RuntimeError &e) {
        return jx::fail(e.description());
    }
}

bool DataLink::watchChanges(IDispatch *watcher) const
{
    if (!m_db || !watcher)
        return false;
    try {
        return com::toQVariant(com::call(m_db.get(), QStringLiteral("WatchChanges"), {com::Variant::fromDispatch(watcher)})).toBool();
    } catch (const com::RuntimeError &) {
        return false; // a database object without notices: the lists refresh by hand
    }
}

void DataLink::unwatchChanges(IDispatch *watcher) const
{
    if (!m_db || !watcher)
        return;
    try {
        com::call(m_db.get(), QStringLiteral("UnwatchChanges"), {com::Variant::fromDispatch(watcher)});
    } catch (const com::RuntimeError &) {
    }
}

jx::Result<> DataLink::begin() const
{
    try {
        if (m_db && com::toQVariant(com::call(m_db.get(), QStringLiteral("BeginTrans"))).toBool())
            return {};
        return jx::fail(m_db ? takeError() : QStringLiteral("数据库没有连接"));
    } catch (const com::RuntimeError &e) {
        return jx::fail(e.description());
    }
}

jx::Result<> DataLink::commit() const
{
    try {
        if (m_db && com::toQVariant(com::call(m_db.get(), QStringLiteral("CommitTrans"))).toBool())
            return {};
        return jx::fail(m_db ? takeError() : QStringLiteral("数据库没有连接"));
    } catch (const com::RuntimeError &e) {
        return jx::fail(e.description());
    }
}

void DataLink::rollback() const
{
    try {
        if (m_db) {
            com::call(m_db.get(), QStringLiteral("RollbackTrans"));
            takeError();
        }
    } catch (const com::RuntimeError &) {
        // Nothing more can be done; the engine drops the transaction with the connection.
    }
}

} // namespace jxedit
