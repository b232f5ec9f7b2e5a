#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/FunctionDefinition.h"
#include "platform/com/Result.h"

#include <QWidget>

class QAbstractItemModel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

class QTimer;

namespace jxedit {

class CoverDelegate;
class PagedRowModel;
class RowModel;

/// A sortable grid of a query's rows with a filter box that matches any
/// column as the user types. A statement's rows are read from the database as
/// the view reaches them, and sorting and filtering run there
/// (PagedRowModel), so a large table never freezes the window nor fills the
/// memory. Rows gathered elsewhere (setRows), and a statement that cannot be
/// read in blocks, are held whole and sorted and filtered in memory.
/// Double-click reports the row's key; Enter on the grid asks to open the
/// current record (openRequested).
class GridView final : public QWidget
{
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);
    ~GridView() override;

    /// Shows the rows of `sql` under `columns`; false with the reason (also
    /// when a column names a field the query does not give). The sort and the
    /// filter words stay as the user left them.
    jx::Result<> load(const DataLink &link, const QString &sql, const QVariantList &params, const QVector<ColumnDef> &columns,
                      const QString &keyField, DataLink::Origin origin = DataLink::Origin::Code);
    /// Shows rows gathered elsewhere.
    void setRows(const QVector<ColumnDef> &columns, const QStringList &sourceColumns, const QVector<QVector<QVariant>> &rows,
                 const QString &keyField);
    /// Applies a filter still being typed and settles the row count now.
    void fetchAll();
    bool loading() const;
    /// Drops the outstanding rows (the function is closing).
    void stop();

    QTableView *view() const { return m_view; }
    QLineEdit *filterBox() const { return m_filter; }
    /// The rows as shown, in the shown order.
    QAbstractItemModel *shown() const;
    /// Shapes the rows (columns, phone masking) whichever way they are read.
    RowModel *rows() const { return m_model; }
    PagedRowModel *paged() const { return m_paged; }
    /// Key of the current row as shown; invalid when none.
    QVariant currentKey() const;
    /// "共 N 条记录", plus the sum of a selected number column.
    QString summary() const;
    /// Selected cells as tab-separated text, rows on lines.
    QString selectedText() const;
    void copySelection() const;
    /// Every row the filter leaves, in the shown order, as CSV.
    jx::Result<> exportCsv(const QString &path);

    /// Records changed elsewhere: the rows shown read again in place (see
    /// PagedRowModel::refreshRecords); rows held whole are left as they are.
    int refreshRecords(const QVariantList &keys);
    /// Every row shown read again in place.
    int refreshShown();

    /// Column order, widths and hidden columns, kept per program between runs.
    void restoreLayout(const QString &key);

signals:
    void activated(const QVariant &key);
    void openRequested();
    void summaryChanged(const QString &text);
    /// Rows could not be read (the connection went); a new load recovers.
    void failed(const QString &why);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setDefinedWidths(const QVector<ColumnDef> &columns);
    void fetchMore();
    void applyFilter();
    void useModel(QAbstractItemModel *model);
    QVariant keyAt(int row) const;
    QSortFilterProxyModel *wholeRead();
    void saveLayout();
    void writeLayout();
    void applyLayout();
    void showCovers(const DataLink &link, const QVector<ColumnDef> &columns);
    QLineEdit *m_filter;
    QTableView *m_view;
    RowModel *m_model;
    // The filter and sort over a statement read whole; see wholeRead().
    QSortFilterProxyModel *m_proxy = nullptr;
    PagedRowModel *m_paged;
    DataLink::Cursor m_cursor;
    QString m_layoutKey;
    // A drag resizes a column many times a second: the layout is written
    // once the user has let go.
    QTimer *m_saveTimer;
    // Each key typed would be a query: the filter runs once the typing pauses.
    QTimer *m_filterTimer;
    bool m_restoring = false;
    CoverDelegate *m_covers = nullptr;
};

} // namespace jxedit
