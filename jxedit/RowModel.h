#pragma once

#include "jxedit/FunctionDefinition.h"

#include <QAbstractTableModel>
#include <QVariant>
#include <QVector>

namespace jxedit {

/// Rows of a query shown under a definition's columns. Rows arrive in blocks
/// (appendRows), so a large table shows its first rows at once. Values are
/// kept typed (numbers as numbers) so sorting compares them as numbers.
class RowModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RowModel(QObject *parent = nullptr);

    /// Phones of rows whose `agentField` names another agent than `myAgent`
    /// arrive masked, so neither the grid, its copy nor its export shows them.
    /// Takes effect for the rows of the next reset; an empty field masks nothing.
    void setPhoneMask(const QString &agentField, const QString &myAgent);
    /// 138****1234: the first three and the last four digits.
    static QString maskPhone(const QString &phone);

    /// `sourceColumns` are the query's field names; the key field need not be shown.
    void reset(const QVector<ColumnDef> &columns, const QStringList &sourceColumns, const QString &keyField);
    void appendRows(const QVector<QVector<QVariant>> &rows);
    /// A query row as this model keeps it: the shown columns (numbers as
    /// numbers, other agents' phones masked), then the key.
    QVector<QVariant> shape(const QVector<QVariant> &source) const;
    /// Field index of the agent that decides masking: -2 none masked, -1 every phone.
    int maskSource() const { return m_maskSource; }
    const QString &myAgent() const { return m_myAgent; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QVariant keyOf(int row) const;
    QVariant value(int row, int column) const;
    const ColumnDef &column(int c) const { return m_columns.at(c); }
    /// Display text of a value in a column (numbers without trailing zeros).
    static QString text(const ColumnDef &column, const QVariant &value);

private:
    QVector<ColumnDef> m_columns;
    QVector<int> m_source; // column -> index in the query row
    int m_key = -1;
    QString m_maskField, m_myAgent;
    int m_maskSource = -2; // -2 no masking, -1 every row (the agent is not in the query)
    QVector<QVector<QVariant>> m_rows;
};

} // namespace jxedit
