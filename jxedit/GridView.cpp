#include "jxedit/GridView.h"

#include "jxedit/CoverDelegate.h"
#include "jxedit/CsvExport.h"
#include "jxedit/PagedRowModel.h"
#include "jxedit/RowModel.h"

#include "platform/SettingsStore.h"
#include "platform/com/RuntimeError.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace jxedit {

namespace {
constexpr int kFirstBlock = 200;
constexpr int kBlock = 5000;
// A selection this large is summed by the database, not row by row here.
constexpr int kSumHere = 2000;
} // namespace

GridView::GridView(QWidget *parent)
    : QWidget(parent), m_filter(new QLineEdit(this)), m_view(new QTableView(this)), m_model(new RowModel(this)),
      m_paged(new PagedRowModel(m_model, this)), m_saveTimer(new QTimer(this)),
      m_filterTimer(new QTimer(this))
{
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(400);
    connect(m_saveTimer, &QTimer::timeout, this, &GridView::writeLayout);
    m_filterTimer->setSingleShot(true);
    m_filterTimer->setInterval(250);
    connect(m_filterTimer, &QTimer::timeout, this, &GridView::applyFilter);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_filter->setPlaceholderText(QStringLiteral("筛选：输入任意列的内容，多个词用空格分开"));
    m_filter->setAccessibleName(QStringLiteral("筛选"));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);
    layout->addWidget(m_view);

    useModel(m_paged);
    m_view->setAccessibleName(QStringLiteral("数据列表"));
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(-1, Qt::AscendingOrder);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->setDefaultSectionSize(22);
    // Rows all of one height: the view need not ask each row for its size.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setSectionsMovable(true);
    m_view->horizontalHeader()->setHighlightSections(false);

    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_view->model() == m_paged) {
            m_filterTimer->start();
            return;
        }
        wholeRead()->setFilterFixedString(text.trimmed());
        emit summaryChanged(summary());
    });
    // Enter in the box filters at once.
    connect(m_filter, &QLineEdit::returnPressed, this, [this] {
        if (m_filterTimer->isActive())
            applyFilter();
    });
    connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        const QVariant key = keyAt(index.row());
        if (key.isValid())
            emit activated(key);
    });
    connect(m_paged, &PagedRowModel::countChanged, this, [this] { emit summaryChanged(summary()); });
    connect(m_paged, &PagedRowModel::failed, this, &GridView::failed);
    // Enter would only move the current cell; in a list it opens the record.
    m_view->installEventFilter(this);
    QHeaderView *header = m_view->horizontalHeader();
    connect(header, &QHeaderView::sectionMoved, this, &GridView::saveLayout);
    connect(header, &QHeaderView::sectionResized, this, &GridView::saveLayout);
}

GridView::~GridView()
{
    if (m_saveTimer->isActive())
        writeLayout();
}

void GridView::useModel(QAbstractItemModel *model)
{
    if (m_view->model() == model)
        return;
    QItemSelectionModel *old = m_view->selectionModel();
    m_view->setModel(model);
    delete old;
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit summaryChanged(summary()); });
}

QAbstractItemModel *GridView::shown() const { return m_view->model(); }

QSortFilterProxyModel *GridView::wholeRead()
{
    // Made when a statement is first read whole: most lists never are, and
    // a proxy joined to its source costs more than the rest of an empty grid.
    if (!m_proxy) {
        m_proxy = new QSortFilterProxyModel(this);
        m_proxy->setSourceModel(m_model);
        m_proxy->setFilterKeyColumn(-1);
        m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
        m_proxy->setSortRole(Qt::EditRole);
    }
    return m_proxy;
}

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            emit openRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

jx::Result<> GridView::load(const DataLink &link, const QString &sql, const QVariantList &params, const QVector<ColumnDef> &columns,
                            const QString &keyField, DataLink::Origin origin)
{
    m_cursor = DataLink::Cursor();
    m_filterTimer->stop();
    m_paged->close();
    m_paged->setFilterText(m_filter->text());
    const auto opened = m_paged->open(link, sql, params, origin, columns, keyField);
    if (!opened)
        return jx::fail(opened.error());
    if (*opened == PagedRowModel::Opened::Yes) {
        useModel(m_paged);
        m_restoring = true;
        setDefinedWidths(columns);
        m_restoring = false;
        showCovers(link, columns);
        applyLayout();
        emit summaryChanged(summary());
        return {};
    }
    // Read whole: a statement the database will not take as a sub-query.
    auto cursor = link.open(sql, params, origin);
    if (!cursor)
        return jx::fail(cursor.error());
    m_cursor = std::move(cursor).value();
    if (!m_cursor.columns.isEmpty()) {
        for (const ColumnDef &c : columns)
            if (!m_cursor.columns.contains(c.field, Qt::CaseInsensitive)) {
                m_cursor = DataLink::Cursor();
                return jx::fail(QStringLiteral("功能定义有误：列“%1”（%2）在查询结果中不存在").arg(c.field, c.caption));
            }
    }
    m_model->reset(columns, m_cursor.columns, keyField);
    useModel(wholeRead());
    wholeRead()->setFilterFixedString(m_filter->text().trimmed());
    m_restoring = true;
    setDefinedWidths(columns);
    m_restoring = false;
    showCovers(link, columns);
    applyLayout();
    QVector<QVector<QVariant>> rows;
    try {
        m_cursor.fetch(kFirstBlock, rows);
    } catch (const com::RuntimeError &e) {
        return jx::fail(e.description());
    }
    m_model->appendRows(rows);
    if (!m_cursor.atEnd())
        QTimer::singleShot(0, this, &GridView::fetchMore);
    emit summaryChanged(summary());
    return {};
}

void GridView::setDefinedWidths(const QVector<ColumnDef> &columns)
{
    // The definition's width, but never so narrow that the caption is cut:
    // "最高售价(万元)" loses its unit otherwise.
    const QFontMetrics metrics = m_view->horizontalHeader()->fontMetrics();
    const int padding = m_view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, m_view) * 2
        + m_view->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, m_view);
    for (int c = 0; c < columns.size(); ++c)
        m_view->setColumnWidth(c, std::max(columns.at(c).width, metrics.horizontalAdvance(columns.at(c).caption) + padding));
}

void GridView::setRows(const QVector<ColumnDef> &columns, const QStringList &sourceColumns, const QVector<QVector<QVariant>> &rows,
                       const QString &keyField)
{
    m_cursor = DataLink::Cursor();
    m_filterTimer->stop();
    m_paged->close();
    m_model->reset(columns, sourceColumns, keyField);
    useModel(wholeRead());
    wholeRead()->setFilterFixedString(m_filter->text().trimmed());
    setDefinedWidths(columns);
    m_model->appendRows(rows);
    emit summaryChanged(summary());
}

void GridView::applyFilter()
{
    m_filterTimer->stop();
    if (m_view->model() != m_paged)
        return;
    m_paged->setFilterText(m_filter->text());
    emit summaryChanged(summary());
}

void GridView::fetchMore()
{
    if (m_cursor.atEnd())
        return;
    QVector<QVector<QVariant>> rows;
    try {
        m_cursor.fetch(kBlock, rows);
    } catch (const com::RuntimeError &) {
        m_cursor = DataLink::Cursor();
    }
    m_model->appendRows(rows);
    emit summaryChanged(summary());
    if (!m_cursor.atEnd())
        QTimer::singleShot(0, this, &GridView::fetchMore);
}

void GridView::fetchAll()
{
    if (m_filterTimer->isActive())
        applyFilter();
    if (m_view->model() == m_paged) {
        m_paged->finishCount();
        return;
    }
    while (!m_cursor.atEnd())
        fetchMore();
}

int GridView::refreshRecords(const QVariantList &keys)
{
    return m_view->model() == m_paged ? m_paged->refreshRecords(keys) : 0;
}

int GridView::refreshShown() { return m_view->model() == m_paged ? m_paged->refreshKept() : 0; }

bool GridView::loading() const { return m_view->model() == m_paged ? !m_paged->countKnown() : !m_cursor.atEnd(); }

void GridView::stop()
{
    if (m_covers)
        m_covers->detach();
    m_cursor = DataLink::Cursor();
    m_filterTimer->stop();
    m_paged->close();
}

QVariant GridView::keyAt(int row) const
{
    if (m_view->model() == m_paged)
        return m_paged->keyOf(row);
    // Any other model shown is the proxy of a statement read whole.
    return m_model->keyOf(m_proxy->mapToSource(m_proxy->index(row, 0)).row());
}

QVariant GridView::currentKey() const
{
    const QModelIndex index = m_view->currentIndex();
    if (!index.isValid())
        return {};
    return keyAt(index.row());
}

QString GridView::summary() const
{
    QAbstractItemModel *model = shown();
    if (model == m_paged && !m_paged->countKnown())
        return QStringLiteral("正在统计记录数…");
    QString text = QStringLiteral("共 %1 条记录").arg(model->rowCount());
    // Ranges, not cells: a selection of every row would be millions of cells.
    const QItemSelection selection = m_view->selectionModel()->selection();
    if (selection.isEmpty())
        return text;
    const int column = selection.first().left();
    if (column < 0 || column >= m_model->columnCount())
        return text;
    const ColumnDef &def = m_model->column(column);
    if (!def.isNumeric())
        return text;
    qint64 count = 0;
    double sum = 0;
    for (const QItemSelectionRange &range : selection) {
        if (column < range.left() || column > range.right())
            continue;
        count += range.height();
        if (model == m_paged && range.height() > kSumHere) {
            const auto part = m_paged->sum(column, range.top(), range.bottom());
            if (!part)
                return text + QStringLiteral("，合计未能算出：") + part.error();
            sum += *part;
        } else {
            for (int r = range.top(); r <= range.bottom(); ++r)
                sum += model->index(r, column).data(Qt::EditRole).toDouble();
        }
    }
    if (count > 1)
        text += QStringLiteral("，选中 %1 项，“%2”合计 %3").arg(count).arg(def.caption, RowModel::text(def, sum));
    return text;
}

QString GridView::selectedText() const
{
    const QItemSelection selection = m_view->selectionModel()->selection();
    // The rows of every range, each once and in order, then each row's selected columns.
    QVector<QPair<int, int>> spans;
    for (const QItemSelectionRange &range : selection)
        spans.append({range.top(), range.bottom()});
    std::sort(spans.begin(), spans.end());
    QVector<QPair<int, int>> merged;
    for (const auto &s : spans) {
        if (!merged.isEmpty() && s.first <= merged.last().second + 1)
            merged.last().second = std::max(merged.last().second, s.second);
        else
            merged.append(s);
    }
    QString text;
    bool firstRow = true;
    for (const auto &[top, bottom] : merged)
        for (int r = top; r <= bottom; ++r) {
            QVector<int> columns;
            for (const QItemSelectionRange &range : selection)
                if (r >= range.top() && r <= range.bottom())
                    for (int c = range.left(); c <= range.right(); ++c)
                        columns.append(c);
            std::sort(columns.begin(), columns.end());
            columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
            if (!firstRow)
                text += u'\n';
            firstRow = false;
            for (int i = 0; i < columns.size(); ++i) {
                if (i > 0)
                    text += u'\t';
                text += shown()->index(r, columns.at(i)).data(Qt::DisplayRole).toString();
            }
        }
    return text;
}

void GridView::copySelection() const
{
    if (QClipboard *clipboard = QApplication::clipboard())
        clipboard->setText(selectedText());
}

jx::Result<> GridView::exportCsv(const QString &path)
{
    fetchAll();
    if (m_view->model() == m_paged)
        return m_paged->exportCsv(path);
    return CsvExport::write(*wholeRead(), path);
}

void GridView::restoreLayout(const QString &key)
{
    m_layoutKey = key;
    applyLayout();
}

namespace {

const QString kLayoutApp = QStringLiteral("JxEdit");
const QString kLayoutSection = QStringLiteral("grid");

// Layouts were once kept in the program's own QSettings; the first reading
// moves a user's arrangement over, so nobody loses it.
QByteArray takeOldLayout(const QString &key)
{
    QSettings old;
    const QString name = QStringLiteral("JxEdit/grid/") + key;
    const QByteArray state = old.value(name).toByteArray();
    if (!state.isEmpty())
        old.remove(name);
    return state;
}

} // namespace

void GridView::applyLayout()
{
    if (m_layoutKey.isEmpty() || m_model->columnCount() == 0)
        return;
    QByteArray state = QByteArray::fromBase64(jx::SettingsStore::getSetting(kLayoutApp, kLayoutSection, m_layoutKey).toLatin1());
    if (state.isEmpty()) {
        state = takeOldLayout(m_layoutKey);
        if (!state.isEmpty())
            jx::SettingsStore::saveSetting(kLayoutApp, kLayoutSection, m_layoutKey, QString::fromLatin1(state.toBase64()));
    }
    if (!state.isEmpty()) {
        m_restoring = true;
        m_view->horizontalHeader()->restoreState(state);
        m_restoring = false;
    }
}

void GridView::saveLayout()
{
    // Only a user's own arrangement is kept; the definition's layout is the default.
    if (m_restoring || m_layoutKey.isEmpty())
        return;
    m_saveTimer->start();
}

void GridView::writeLayout()
{
    m_saveTimer->stop();
    jx::SettingsStore::saveSetting(kLayoutApp, kLayoutSection, m_layoutKey,
                                   QString::fromLatin1(m_view->horizontalHeader()->saveState().toBase64()));
}

// Columns of type 'thumbnail' show the listing's cover, painted from the
// stored thumbnails of the rows on screen only.
void GridView::showCovers(const DataLink &link, const QVector<ColumnDef> &columns)
{
    if (const QAbstractItemModel *shown = m_view->model())
        for (int c = 0; c < shown->columnCount(); ++c)
            m_view->setItemDelegateForColumn(c, nullptr);
    bool any = false;
    for (int c = 0; c < columns.size(); ++c) {
        if (columns.at(c).type != u"thumbnail")
            continue;
        if (!m_covers)
            m_covers = new CoverDelegate(link, m_view);
        m_view->setItemDelegateForColumn(c, m_covers);
        any = true;
    }
    m_view->verticalHeader()->setDefaultSectionSize(any ? CoverDelegate::kRowHeight : 22);
}

} // namespace jxedit
