#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/FunctionDefinition.h"

#include <QWidget>

class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

class QTimer;

namespace jxedit {

class RowModel;

/// A sortable grid of a query's rows with a filter box that matches any
/// column as the user types. The first block of rows is shown at once; the
/// rest arrive in blocks from the event loop, so a large table never freezes
/// the window. Double-click reports the row's key; Enter on the grid asks to
/// open the current record (openRequested).
class GridView final : public QWidget
{
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);
    ~GridView() override;

    /// Runs `sql` and shows its rows under `columns`; false with the reason
    /// (also when a column names a field the query does not give).
    bool load(const DataLink &link, const QString &sql, const QVariantList &params, const QVector<ColumnDef> &columns,
              const QString &keyField, QString &why, DataLink::Origin origin = DataLink::Origin::Code);
    /// Shows rows gathered elsewhere.
    void setRows(const QVector<ColumnDef> &columns, const QStringList &sourceColumns, const QVector<QVector<QVariant>> &rows,
                 const QString &keyField);
    /// Takes every outstanding block now.
    void fetchAll();
    bool loading() const;
    /// Drops the outstanding rows (the function is closing).
    void stop();

    QTableView *view() const { return m_view; }
    QLineEdit *filterBox() const { return m_filter; }
    QSortFilterProxyModel *shown() const { return m_proxy; }
    RowModel *rows() const { return m_model; }
    /// Key of the current row as shown; invalid when none.
    QVariant currentKey() const;
    /// "共 N 条记录", plus the sum of a selected number column.
    QString summary() const;
    /// Selected cells as tab-separated text, rows on lines.
    QString selectedText() const;
    void copySelection() const;

    /// Column order, widths and hidden columns, kept per program between runs.
    void restoreLayout(const QString &key);

signals:
    void activated(const QVariant &key);
    void openRequested();
    void summaryChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fetchMore();
    void saveLayout();
    void writeLayout();
    void applyLayout();
    QLineEdit *m_filter;
    QTableView *m_view;
    RowModel *m_model;
    QSortFilterProxyModel *m_proxy;
    DataLink::Cursor m_cursor;
    QString m_layoutKey;
    // A drag resizes a column many times a second: the layout is written
    // once the user has let go.
    QTimer *m_saveTimer;
    bool m_restoring = false;
};

} // namespace jxedit
