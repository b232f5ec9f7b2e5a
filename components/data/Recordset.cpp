#include "components/data/Recordset.h"

#include "components/data/NamedValue.h"

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

QVector<QVector<QVariant>> Recordset::GetRows(int count)
{
    const int fields = fieldCount();
    QVector<QVector<QVariant>> cells(fields);
    if (Eof())
        return cells;
    const int available = recordCount() - m_pos;
    const int take = count < 0 || count > available ? available : count;
    for (int f = 0; f < fields; ++f) {
        cells[f].reserve(take);
        for (int r = 0; r < take; ++r) {
            const auto &row = m_data->rows.at(m_pos + r);
            cells[f].append(f < row.size() ? row.at(f) : QVariant());
        }
    }
    m_pos += take;
    return cells;
}

const com::MemberTable<Recordset> &Recordset::members()
{
    using com::DispArgs;
    using com::Variant;
    static const com::MemberTable<Recordset> table = com::MemberTable<Recordset>()
        .add(QStringLiteral("EOF"), [](Recordset &self, const DispArgs &) { return Variant::fromBool(self.Eof()); })
        .add(QStringLiteral("BOF"), [](Recordset &self, const DispArgs &) { return Variant::fromBool(self.Bof()); })
        .add(QStringLiteral("Fields"), [](Recordset &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            const VARIANT &key = com::deref(*a[0]);
            const int index = key.vt == VT_I2 || key.vt == VT_I4 || key.vt == VT_R8 ? com::argInt(a, 0)
                                                                                    : self.fieldIndex(com::argText(a, 0));
            if (index < 0 || index >= self.fieldCount())
                throw com::RuntimeError::of(com::errors::ItemNotFound, QStringLiteral("Recordset"));
            if (self.Eof())
                throw com::RuntimeError(3021, QStringLiteral("Recordset"), QStringLiteral("BOF 或 EOF 中有一个是“真”，或者当前记录已被删除，所需的操作要求一个当前的记录。"));
            return com::newObject<NamedValue>(self.fieldNames().at(index), self.Field(index));
        })
        .add(QStringLiteral("MoveNext"), [](Recordset &self, const DispArgs &) {
            self.MoveNext();
            return Variant();
        })
        .add(QStringLiteral("Close"), [](Recordset &self, const DispArgs &) {
            self.Close();
            return Variant();
        })
        .add(QStringLiteral("RecordCount"), [](Recordset &self, const DispArgs &) { return Variant::fromInt32(self.recordCount()); })
        .add(QStringLiteral("GetRows"), [](Recordset &self, const DispArgs &a) {
            return Variant::fromTable(self.GetRows(com::argInt(a, 0, -1)));
        });
    return table;
}
