#pragma once

#include "jx_components_export.h"

#include "platform/com/Dispatchable.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

/// Forward-only cursor over a fully read result. Copies share the rows but
/// keep their own position. Its automation face: EOF, BOF, Fields(name or
/// index).Value, MoveNext, Close, RecordCount, and GetRows(count) reading many
/// rows in one call (a fields x rows array, as the data objects it replaces).
class JX_COMPONENTS_EXPORT Recordset final : public com::Dispatchable<Recordset>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E09-3B5D-4C7E-9F10-2A3B4C5D6E09}";
    static const com::MemberTable<Recordset> &members();

    Recordset();
    Recordset(QStringList columns, QVector<QVector<QVariant>> rows);
    /// Rows stored one after the other: cell (row, field) is cells[row * fields + field].
    /// A short last row is filled with Null fields.
    Recordset(QStringList columns, QVector<QVariant> cells);

    /// End of data: the cursor is past the last row (or there are no rows).
    /// (Named Eof because EOF is a macro of the C library.)
    bool Eof() const;
    /// Beginning of data: the cursor is before the first row (only when there are no rows).
    bool Bof() const;
    /// Field of the current row by column name, ignoring letter case.
    /// Null QVariant for a Null field, an unknown name or no current row.
    /// The reference stays valid while this recordset (or a copy) holds its rows.
    const QVariant &Fields(const QString &name) const;
    /// Field of the current row by 0-based column index.
    const QVariant &Field(int index) const;
    void MoveNext();
    /// Up to `count` rows from the cursor on (all when count < 0), as
    /// rows[field][row]; the cursor moves past them.
    QVector<QVector<QVariant>> GetRows(int count = -1);
    void Close();

    bool isOpen() const;
    int fieldCount() const;
    int recordCount() const;
    QStringList fieldNames() const;
    /// Index of a column, ignoring letter case; -1 when unknown.
    int fieldIndex(const QString &name) const;

private:
    /// GetRows as its automation face hands it out: the array built from the stored rows directly.
    com::Variant rowsArray(int count);
    /// How many rows a read of `count` (all when negative) takes from the cursor on.
    int rowsToTake(int count) const;

    struct Data;
    std::shared_ptr<const Data> m_data;
    int m_pos = 0;
    bool m_open = false;
};
