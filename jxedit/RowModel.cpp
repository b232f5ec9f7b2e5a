#include "jxedit/RowModel.h"

#include <QLocale>

namespace jxedit {

RowModel::RowModel(QObject *parent) : QAbstractTableModel(parent) {}

void RowModel::reset(const QVector<ColumnDef> &columns, const QStringList &sourceColumns, const QString &keyField)
{
    beginResetModel();
    m_columns = columns;
    m_source.clear();
    for (const ColumnDef &c : columns) {
        int found = -1;
        for (int i = 0; i < sourceColumns.size(); ++i)
            if (sourceColumns.at(i).compare(c.field, Qt::CaseInsensitive) == 0)
                found = i;
        m_source.append(found);
    }
    m_key = -1;
    for (int i = 0; i < sourceColumns.size(); ++i)
        if (sourceColumns.at(i).compare(keyField, Qt::CaseInsensitive) == 0)
            m_key = i;
    m_maskSource = -2;
    if (!m_maskField.isEmpty()) {
        m_maskSource = -1;
        for (int i = 0; i < sourceColumns.size(); ++i)
            if (sourceColumns.at(i).compare(m_maskField, Qt::CaseInsensitive) == 0)
                m_maskSource = i;
    }
    m_rows.clear();
    endResetModel();
}

void RowModel::setPhoneMask(const QString &agentField, const QString &myAgent)
{
    m_maskField = agentField;
    m_myAgent = myAgent;
}

QString RowModel::maskPhone(const QString &phone)
{
    const QString p = phone.trimmed();
    if (p.size() <= 7)
        return p.isEmpty() ? p : QString(p.size(), u'*');
    return p.left(3) + QString(p.size() - 7, u'*') + p.right(4);
}

void RowModel::appendRows(const QVector<QVector<QVariant>> &rows)
{
    if (rows.isEmpty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + rows.size() - 1));
    m_rows.reserve(m_rows.size() + rows.size());
    for (const QVector<QVariant> &source : rows)
        m_rows.append(shape(source));
    endInsertRows();
}

QVector<QVariant> RowModel::shape(const QVector<QVariant> &source) const
{
    QVector<QVariant> row(m_columns.size() + 1);
    const bool masked = m_maskSource == -1
                        || (m_maskSource >= 0 && (m_myAgent.isEmpty() || source.value(m_maskSource).toString() != m_myAgent));
    for (int c = 0; c < m_columns.size(); ++c) {
        QVariant v = m_source.at(c) >= 0 ? source.value(m_source.at(c)) : QVariant();
        if (masked && m_columns.at(c).type == u"phone" && v.isValid())
            v = maskPhone(v.toString());
        // Engines hand decimals back as text; numbers must sort as numbers.
        row[c] = m_columns.at(c).isNumeric() && v.isValid() ? QVariant(v.toDouble()) : v;
    }
    row[m_columns.size()] = m_key >= 0 ? source.value(m_key) : QVariant();
    return row;
}

int RowModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }
int RowModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QString RowModel::text(const ColumnDef &column, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (column.type == u"score") // kept as a number, so it sorts as one
        return QStringLiteral("匹配 %1%").arg(value.toInt());
    if (column.isNumeric()) {
        const double d = value.toDouble();
        if (column.type == u"int")
            return QString::number(qRound64(d));
        // Two decimals at most, without trailing zeros: "12.50" shows as "12.5", "3.00" as "3".
        QString shown = QLocale::c().toString(d, 'f', 2);
        while (shown.endsWith(u'0'))
            shown.chop(1);
        if (shown.endsWith(u'.'))
            shown.chop(1);
        return shown;
    }
    return value.toString();
}

QVariant RowModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const QVariant &v = m_rows.at(index.row()).at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return text(m_columns.at(index.column()), v);
    case Qt::EditRole: // what sorting compares
        return v;
    case Qt::TextAlignmentRole:
        return m_columns.at(index.column()).isNumeric() ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant RowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size())
        return m_columns.at(section).caption;
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

QVariant RowModel::keyOf(int row) const { return row >= 0 && row < m_rows.size() ? m_rows.at(row).last() : QVariant(); }
QVariant RowModel::value(int row, int column) const { return m_rows.at(row).at(column); }

} // namespace jxedit
