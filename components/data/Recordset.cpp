#include "components/data/Recordset.h"

#include <QHash>

namespace {
// Up to this many columns a field is found by comparing names in place.
constexpr int kScanLimit = 16;
} // namespace

struct Recordset::Data
{
    QStringList columns;
    QHash<QString, int> index; // lower-case name -> column
    QVector<QVector<QVariant>> rows;
};

Recordset::Recordset() = default;

Recordset::Recordset(QStringList columns, QVector<QVector<QVariant>> rows)
{
    auto data = std::make_shared<Data>();
    for (int i = 0; columns.size() > kScanLimit && i < columns.size(); ++i) {
        const QString key = columns.at(i).toLower();
        if (!data->index.contains(key)) // first of duplicate names wins
            data->index.insert(key, i);
    }
    data->columns = std::move(columns);
    data->rows = std::move(rows);
    m_data = std::move(data);
    m_open = true;
}

bool Recordset::Eof() const { return !m_open || !m_data || m_pos >= m_data->rows.size(); }

bool Recordset::Bof() const { return !m_open || !m_data || m_data->rows.isEmpty(); }

int Recordset::fieldIndex(const QString &name) const
{
    if (!m_data)
        return -1;
    // Results have a handful of columns: comparing in place is cheaper than
    // lower-casing the name (an allocation) on every field read.
    const QStringList &columns = m_data->columns;
    if (columns.size() <= kScanLimit) {
        for (int i = 0; i < columns.size(); ++i)
            if (columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    return m_data->index.value(name.toLower(), -1);
}

QVariant Recordset::Field(int index) const
{
    if (Eof() || index < 0 || index >= m_data->columns.size())
        return {};
    const auto &row = m_data->rows.at(m_pos);
    return index < row.size() ? row.at(index) : QVariant();
}

QVariant Recordset::Fields(const QString &name) const { return Field(fieldIndex(name)); }

void Recordset::MoveNext()
{
    if (!Eof())
        ++m_pos;
}

void Recordset::Close()
{
    m_open = false;
    m_data.reset();
    m_pos = 0;
}

bool Recordset::isOpen() const { return m_open; }
int Recordset::fieldCount() const { return m_data ? static_cast<int>(m_data->columns.size()) : 0; }
int Recordset::recordCount() const { return m_data ? static_cast<int>(m_data->rows.size()) : 0; }
QStringList Recordset::fieldNames() const { return m_data ? m_data->columns : QStringList(); }
