#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

/// Forward-only cursor over a fully read result. Copies share the rows but
/// keep their own position.
class Recordset
{
public:
    Recordset();
    Recordset(QStringList columns, QVector<QVector<QVariant>> rows);

    /// End of data: the cursor is past the last row (or there are no rows).
    /// (Named Eof because EOF is a macro of the C library.)
    bool Eof() const;
    /// Beginning of data: the cursor is before the first row (only when there are no rows).
    bool Bof() const;
    /// Field of the current row by column name, ignoring letter case.
    /// Null QVariant for a Null field, an unknown name or no current row.
    QVariant Fields(const QString &name) const;
    /// Field of the current row by 0-based column index.
    QVariant Field(int index) const;
    void MoveNext();
    void Close();

    bool isOpen() const;
    int fieldCount() const;
    int recordCount() const;
    QStringList fieldNames() const;
    /// Index of a column, ignoring letter case; -1 when unknown.
    int fieldIndex(const QString &name) const;

private:
    struct Data;
    std::shared_ptr<const Data> m_data;
    int m_pos = 0;
    bool m_open = false;
};
