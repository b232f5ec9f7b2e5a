#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/FunctionDefinition.h"
#include "platform/com/Result.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QVariant>
#include <QVector>

#include <optional>

namespace jxedit {

class RowModel;

/// The rows of a statement as a grid shows them, read from the database a
/// block at a time as the view reaches them: the statement is wrapped as a
/// sub-query that the database filters, orders and cuts to the block. Only
/// the blocks near what the view shows are kept, so a million rows cost no
/// more memory than a thousand. Blocks that follow a kept one are found by
/// the sort values and key of its last row (never by counting past every row
/// before them). The count comes from the database, after the first rows.
class PagedRowModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_PROPERTY(bool countKnown READ countKnown NOTIFY countChanged)
public:
    /// `shape` maps a query row to the shown columns (and masks phones).
    explicit PagedRowModel(RowModel *shape, QObject *parent = nullptr);

    enum class Opened { Yes, NotWrappable };
    /// Reads the first block of `sql`, keeping the sort and the filter words
    /// of the statement shown before. NotWrappable: the statement runs on its
    /// own but not as a sub-query (the caller reads it whole instead).
    jx::Result<Opened> open(const DataLink &link, const QString &sql, const QVariantList &params, DataLink::Origin origin,
                            const QVector<ColumnDef> &columns, const QString &keyField);
    /// Forgets the statement and every row.
    void close();
    bool isOpen() const { return m_open; }

    /// Words separated by blanks; a row is kept when each word is in one of its shown columns.
    void setFilterText(const QString &text);
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }

    bool countKnown() const { return m_countKnown; }
    /// Counts the rows now if the count is still to come.
    void finishCount();
    /// The rows were changed elsewhere: counts again and forgets the kept blocks.
    void recount();

    /// The records `keys` changed elsewhere: those among the rows it keeps
    /// are read again through the statement and filter (so rights hold) and
    /// shown in place; one the statement no longer gives (deleted, or out of
    /// the list's condition now) stays where it was, shown as gone. No row
    /// moves; keys it does not keep cost nothing. The number of rows read again.
    int refreshRecords(const QVariantList &keys);
    /// Reads again every row it keeps, the same way.
    int refreshKept();
    /// Whether the row was found gone by refreshRecords (until the next read of the list).
    bool isGone(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QVariant keyOf(int row) const;
    /// Sum of a number column over rows first..last as shown (every row when
    /// they are all of them), from the database.
    jx::Result<double> sum(int shownColumn, int first, int last) const;
    /// Every row of the filtered set in the shown order, read in blocks.
    jx::Result<> exportCsv(const QString &path) const;
    /// Rows kept in memory now (for the tests of the memory bound).
    int keptRows() const;

signals:
    /// Reading failed (the connection went): the rows stop until the next open.
    void failed(const QString &why);
    void countChanged();

private:
    struct Term
    {
        int source; // index of the field in the query row
        bool desc;
    };
    struct Block
    {
        QVector<QVector<QVariant>> rows; // shaped as the view shows them
        QVector<QVariant> firstRaw, lastRaw;
        quint64 used = 0;
    };
    struct Query
    {
        QString where;
        QVariantList params;
    };

    using RawRows = QVector<QVector<QVariant>>; // as the statement gives them

    /// Where each shown column and the key are among the statement's fields `source`; fails when one is missing.
    jx::Result<> mapColumns(const QStringList &source, const QString &keyField);
    QString column(int source) const;
    QVector<Term> terms() const;
    bool keyset() const;
    QString orderBy(const QVector<Term> &terms, bool reverse) const;
    Query filter() const;
    QString wrapped() const;
    jx::Result<RawRows> select(const QString &sql, const QVariantList &params) const;
    /// Up to `limit` rows after (or before, `reverse`) the row `raw` in the shown order.
    jx::Result<RawRows> rowsAfter(const QVector<QVariant> &raw, bool reverse, int limit) const;
    jx::Result<RawRows> rowsAt(int offset, bool reverse, int limit) const;
    const Block *block(int index) const;
    void restart();
    jx::Result<int> count() const;

    // A count can scan every row (a filter word is looked for in every
    // shown column); over a million rows that takes a second. With whole-number keys they are counted a range
    // of keys at a time, each from the event loop, so the window goes on
    // answering meanwhile; the rows counted so far can already be scrolled to.
    struct Tally
    {
        qint64 from = 0; // the first key not yet counted
        qint64 last = 0; // the highest key
        qint64 width = 0;
        int counted = 0;
    };
    void cancelCount();
    /// Posts the next step of the count begun since the last cancelCount.
    void scheduleCount();
    void countInSteps();
    /// The keys' range; none when the keys are not whole numbers.
    jx::Result<std::optional<Tally>> planTally() const;
    /// Counts the next range; false once there is nothing more to count
    /// (every range counted, or the reading failed and said so).
    bool tallyNext();
    void settleCount(int n);
    void fail(const QString &why) const;

    RowModel *m_shape;
    DataLink m_link;
    QString m_inner;
    QVariantList m_params;
    DataLink::Origin m_origin = DataLink::Origin::Code;
    QVector<ColumnDef> m_columns;
    QStringList m_source;
    QVector<int> m_shown; // column -> field index
    int m_key = -1;
    bool m_postgres = false;
    bool m_open = false;
    QVector<Term> m_defaultOrder;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QStringList m_words;
    int m_count = 0;
    bool m_countKnown = false;
    mutable bool m_failed = false;
    mutable bool m_recountQueued = false;
    mutable QHash<int, Block> m_blocks;
    QSet<QString> m_gone; // keys of rows found gone, as text
    mutable quint64 m_tick = 0;
    std::optional<Tally> m_tally;
    int m_countRun = 0; // a count scheduled before the last change is dropped
};

} // namespace jxedit
