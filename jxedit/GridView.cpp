#include "jxedit/GridView.h"

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
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace jxedit {

namespace {
constexpr int kFirstBlock = 200;
constexpr int kBlock = 5000;
} // namespace

GridView::GridView(QWidget *parent)
    : QWidget(parent), m_filter(new QLineEdit(this)), m_view(new QTableView(this)), m_model(new RowModel(this)),
      m_proxy(new QSortFilterProxyModel(this)), m_saveTimer(new QTimer(this))
{
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(400);
    connect(m_saveTimer, &QTimer::timeout, this, &GridView::writeLayout);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_filter->setPlaceholderText(QStringLiteral("筛选：输入任意列的内容"));
    m_filter->setAccessibleName(QStringLiteral("筛选"));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);
    layout->addWidget(m_view);

    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterKeyColumn(-1);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setSortRole(Qt::EditRole);
    m_view->setModel(m_proxy);
    m_view->setAccessibleName(QStringLiteral("数据列表"));
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(-1, Qt::AscendingOrder);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->setDefaultSectionSize(22);
    m_view->horizontalHeader()->setSectionsMovable(true);
    m_view->horizontalHeader()->setHighlightSections(false);

    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_proxy->setFilterFixedString(text.trimmed());
        emit summaryChanged(summary());
    });
    connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        const QVariant key = m_model->keyOf(m_proxy->mapToSource(index).row());
        if (key.isValid())
            emit activated(key);
    });
    // Enter would only move the current cell; in a list it opens the record.
    m_view->installEventFilter(this);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit summaryChanged(summary()); });
    QHeaderView *header = m_view->horizontalHeader();
    connect(header, &QHeaderView::sectionMoved, this, &GridView::saveLayout);
    connect(header, &QHeaderView::sectionResized, this, &GridView::saveLayout);
}

GridView::~GridView()
{
    if (m_saveTimer->isActive())
        writeLayout();
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

bool GridView::load(const DataLink &link, const QString &sql, const QVariantList &params, const QVector<ColumnDef> &columns,
                    const QString &keyField, QString &why, DataLink::Origin origin)
{
    m_cursor = DataLink::Cursor();
    if (!link.open(sql, params, m_cursor, why, origin))
        return false;
    if (!m_cursor.columns.isEmpty()) {
        for (const ColumnDef &c : columns)
            if (!m_cursor.columns.contains(c.field, Qt::CaseInsensitive)) {
                why = QStringLiteral("功能定义有误：列“%1”（%2）在查询结果中不存在").arg(c.field, c.caption);
                m_cursor = DataLink::Cursor();
                return false;
            }
    }
    m_model->reset(columns, m_cursor.columns, keyField);
    m_restoring = true;
    for (int c = 0; c < columns.size(); ++c)
        m_view->setColumnWidth(c, columns.at(c).width);
    m_restoring = false;
    applyLayout();
    QVector<QVector<QVariant>> rows;
    try {
        m_cursor.fetch(kFirstBlock, rows);
    } catch (const com::RuntimeError &e) {
        why = e.description();
        return false;
    }
    m_model->appendRows(rows);
    if (!m_cursor.atEnd())
        QTimer::singleShot(0, this, &GridView::fetchMore);
    emit summaryChanged(summary());
    return true;
}

void GridView::setRows(const QVector<ColumnDef> &columns, const QStringList &sourceColumns, const QVector<QVector<QVariant>> &rows,
                       const QString &keyField)
{
    m_cursor = DataLink::Cursor();
    m_model->reset(columns, sourceColumns, keyField);
    for (int c = 0; c < columns.size(); ++c)
        m_view->setColumnWidth(c, columns.at(c).width);
    m_model->appendRows(rows);
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
    while (!m_cursor.atEnd())
        fetchMore();
}

bool GridView::loading() const { return !m_cursor.atEnd(); }

void GridView::stop() { m_cursor = DataLink::Cursor(); }

QVariant GridView::currentKey() const
{
    const QModelIndex index = m_view->currentIndex();
    if (!index.isValid())
        return {};
    return m_model->keyOf(m_proxy->mapToSource(index).row());
}

QString GridView::summary() const
{
    QString text = QStringLiteral("共 %1 条记录").arg(m_proxy->rowCount());
    const QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    if (selected.size() > 1) {
        const int column = selected.first().column();
        const ColumnDef &def = m_model->column(column);
        if (def.isNumeric()) {
            double sum = 0;
            int count = 0;
            for (const QModelIndex &i : selected)
                if (i.column() == column) {
                    sum += i.data(Qt::EditRole).toDouble();
                    ++count;
                }
            text += QStringLiteral("，选中 %1 项，“%2”合计 %3").arg(count).arg(def.caption, RowModel::text(def, sum));
        }
    }
    return text;
}

QString GridView::selectedText() const
{
    QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    std::sort(selected.begin(), selected.end(), [](const QModelIndex &a, const QModelIndex &b) {
        return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
    });
    QString text;
    int row = -1;
    for (const QModelIndex &i : selected) {
        if (row >= 0)
            text += i.row() != row ? u'\n' : u'\t';
        row = i.row();
        text += i.data(Qt::DisplayRole).toString();
    }
    return text;
}

void GridView::copySelection() const
{
    if (QClipboard *clipboard = QApplication::clipboard())
        clipboard->setText(selectedText());
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

} // namespace jxedit
