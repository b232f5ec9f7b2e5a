#include "components/data/Recordset.h"

#include "components/data/NamedValue.h"

#include <QHash>

namespace {
// Up to this many columns a field is found by comparing names in place.
constexpr int kScanLimit = 16;

// Column names are nearly always ASCII: those are compared here, lengths
// first; anything else goes to Qt's full case folding.
bool sameName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y)
            continue;
        if (x >= 0x80 || y >= 0x80)
            return a.mid(i).compare(b.mid(i), Qt::CaseInsensitive) == 0;
        const char16_t lx = (x >= 'A' && x <= 'Z') ? char16_t(x | 0x20) : x;
        const char16_t ly = (y >= 'A' && y <= 'Z') ? char16_t(y | 0x20) : y;
        if (lx != ly)
            return false;
    }
    return true;
}
} // namespace

// The rows in one block, row after row: reading a field is an index
// computation, and building the result costs one allocation, not one per row.
struct Recordset::Data
{
    QStringList columns;
    QHash<QString, int> index; // lower-case name -> column
    QVector<QVariant> cells;
    int rowCount = 0;

    const QVariant &cell(int row, int field) const { return cells.at(qsizetype(row) * columns.size() + field); }
};

Recordset::Recordset() = default;

Recordset::Recordset(QStringList columns, QVector<QVector<QVariant>> rows)
{
    QVector<QVariant> cells;
    const qsizetype width = columns.size();
    cells.reserve(width * rows.size());
    for (QVector<QVariant> &row : rows) {
        for (qsizetype f = 0; f < width; ++f)
            cells.append(f < row.size() ? std::move(row[f]) : QVariant());
    }
    *this = Recordset(std::move(columns), std::move(cells));
}

Recordset::Recordset(QStringList columns, QVector<QVariant> cells)
{
    auto data = std::make_shared<Data>();
    for (int i = 0; columns.size() > kScanLimit && i < columns.size(); ++i) {
        const QString key = columns.at(i).toLower();
        if (!data->index.contains(key)) // first of duplicate names wins
            data->index.insert(key, i);
    }
    const qsizetype width = columns.size();
    if (width > 0) {
        if (cells.size() % width != 0)
            cells.resize((cells.size() / width + 1) * width);
        data->rowCount = static_cast<int>(cells.size() / width);
    }
    data->columns = std::move(columns);
    data->cells = std::move(cells);
    m_data = std::move(data);
    m_open = true;
}

bool Recordset::Eof() const { return !m_open || !m_data || m_pos >= m_data->rowCount; }

bool Recordset::Bof() const { return !m_open || !m_data || m_data->rowCount == 0; }

int Recordset::fieldIndex(const QString &name) const
{
    if (!m_data)
        return -1;
    // Results have a handful of columns: comparing in place is cheaper than
    // lower-casing the name (an allocation) on every field read.
    const QStringList &columns = m_data->columns;
    if (columns.size() <= kScanLimit) {
        for (int i = 0; i < columns.size(); ++i)
            if (sameName(columns.at(i), name))
                return i;
        return -1;
    }
    return m_data->index.value(name.toLower(), -1);
}

const QVariant &Recordset::Field(int index) const
{
    static const QVariant null;
    if (Eof() || index < 0 || index >= m_data->columns.size())
        return null;
    return m_data->cell(m_pos, index);
}

const QVariant &Recordset::Fields(const QString &name) const { return Field(fieldIndex(name)); }

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
int Recordset::recordCount() const { return m_data ? m_data->rowCount : 0; }
QStringList Recordset::fieldNames() const { return m_data ? m_data->columns : QStringList(); }

int Recordset::rowsToTake(int count) const
{
    const int available = Eof() ? 0 : recordCount() - m_pos;
    return count < 0 || count > available ? available : count;
}

QVector<QVector<QVariant>> Recordset::GetRows(int count)
{
    const int fields = fieldCount();
    QVector<QVector<QVariant>> cells(fields);
    const int take = rowsToTake(count);
    for (int f = 0; f < fields; ++f) {
        cells[f].reserve(take);
        for (int r = 0; r < take; ++r)
            cells[f].append(m_data->cell(m_pos + r, f));
    }
    m_pos += take;
    return cells;
}

com::Variant Recordset::rowsArray(int count)
{
    const int fields = fieldCount();
    const int take = rowsToTake(count);
    // Straight from the stored rows: they are already in the array's order.
    const QVariant *first = take ? &m_data->cell(m_pos, 0) : nullptr;
    com::Variant rows = com::Variant::fromRows(first, take, fields);
    m_pos += take;
    return rows;
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
            return self.rowsArray(com::argInt(a, 0, -1));
        });
    return table;
}
