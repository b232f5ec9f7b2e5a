#pragma once

#include "platform/com/ComPtr.h"
#include "platform/com/Result.h"
#include "platform/com/Unknown.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace jxedit {

/// The product database as another library reaches it: late-bound through the
/// automation face of the object the host handed over. Every value travels as
/// a bound parameter; rows come in bulk (one call per block of rows, never one
/// per cell).
class DataLink
{
public:
    DataLink() = default;
    explicit DataLink(IDispatch *database);
    /// context.Database; an invalid link when there is none.
    static jx::Result<DataLink> fromContext(IDispatch *context);

    bool isValid() const { return static_cast<bool>(m_db); }
    /// "sqlite" or "postgres" (what the engine's SQL differs by); empty when unknown.
    QString driver() const;
    IDispatch *database() const { return m_db.get(); }

    struct Rows
    {
        QStringList columns;
        QVector<QVector<QVariant>> rows; // rows[row][column]
    };

    /// A query left open so its rows can be taken in blocks.
    class Cursor
    {
    public:
        QStringList columns;
        bool atEnd() const;
        /// Up to `count` further rows, appended to `rows`.
        void fetch(int count, QVector<QVector<QVariant>> &rows);

    private:
        friend class DataLink;
        com::ComPtr<IDispatch> m_recordset;
        bool m_end = true;
    };

    /// Where a statement's text comes from: statements of a function's
    /// definition are data, so the database refuses any of them that would write.
    enum class Origin { Code, Definition };

    jx::Result<Cursor> open(const QString &sql, const QVariantList &params, Origin origin = Origin::Code) const;
    jx::Result<Rows> select(const QString &sql, const QVariantList &params, Origin origin = Origin::Code) const;
    /// First column of the first row; invalid when there is no row.
    jx::Result<QVariant> scalar(const QString &sql, const QVariantList &params, Origin origin = Origin::Code) const;
    /// Rows changed.
    jx::Result<int> execute(const QString &sql, const QVariantList &params) const;
    /// A notice that the record `key` of `table` was saved or deleted
    /// ("insert", "update", "delete"), sent inside the running transaction.
    jx::Result<> publishChange(const QString &table, const QVariant &key, const QString &kind, const QString &user) const;
    jx::Result<> begin() const;
    jx::Result<> commit() const;

    /// `watcher` is told of the notices of every workstation (see ChangeWatch).
    bool watchChanges(IDispatch *watcher) const;
    void unwatchChanges(IDispatch *watcher) const;
    void rollback() const;

private:
    QString takeError() const;
    com::ComPtr<IDispatch> m_db;
};

} // namespace jxedit
