#include "jxedit/QueryControl.h"

#include "jxedit/GridView.h"
#include "jxedit/RowModel.h"
#include "jxedit/SearchCondition.h"
#include "jxedit/SearchPanel.h"

#include "platform/MessageBox.h"
#include "platform/com/Dispatchable.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace jxedit {

QueryControl::QueryControl() : m_grid(new GridView(page())), m_searchSummary(new QLabel(page()))
{
    m_searchSummary->setObjectName(QStringLiteral("searchSummary"));
    m_searchSummary->setWordWrap(true);
    m_searchSummary->hide();
    body()->addWidget(m_searchSummary);
    body()->addWidget(m_grid, 1);
    QObject::connect(addCommand(QStringLiteral("new"), QStringLiteral("新增"), QKeySequence::New), &QAction::triggered, m_grid, [this] {
        raiseEvent(QStringLiteral("filenew"), {com::Variant::fromInt32(m_def.editProg)});
    });
    QAction *edit = addCommand(QStringLiteral("edit"), QStringLiteral("修改"), QKeySequence(Qt::CTRL | Qt::Key_E));
    // Enter on the grid is the same command, with its rights and refusals.
    QObject::connect(m_grid, &GridView::openRequested, edit, &QAction::trigger);
    QObject::connect(edit, &QAction::triggered, m_grid, [this] {
        const QVariant key = m_grid->currentKey();
        if (!key.isValid()) {
            sendMessage(QStringLiteral("请先选择要修改的记录"));
            return;
        }
        raiseEvent(QStringLiteral("fileedit"), {com::Variant::fromInt32(m_def.editProg), com::Variant::fromQVariant(key)});
    });
    QObject::connect(addCommand(QStringLiteral("filter"), QStringLiteral("筛选"), QKeySequence::Find), &QAction::triggered, m_grid,
                     [this] { m_grid->filterBox()->setFocus(); });
    QObject::connect(addCommand(QStringLiteral("search"), QStringLiteral("查找条件"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)),
                     &QAction::triggered, m_grid, [this] { showSearch(!m_search || m_search->isHidden()); });
    QObject::connect(addCommand(QStringLiteral("refresh"), QStringLiteral("刷新"), QKeySequence::Refresh), &QAction::triggered,
                     m_grid, [this] { reload(); });
    QObject::connect(addCommand(QStringLiteral("copy"), QStringLiteral("复制"), QKeySequence::Copy), &QAction::triggered, m_grid,
                     [this] { m_grid->copySelection(); });
    QObject::connect(addCommand(QStringLiteral("export"), QStringLiteral("导出"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
                     &QAction::triggered, m_grid, [this] { exportInteractively(); });
    QObject::connect(addCommand(QStringLiteral("close"), QStringLiteral("关闭"), QKeySequence(Qt::CTRL | Qt::Key_W)),
                     &QAction::triggered, m_grid, [this] { requestUnload(); });
    QObject::connect(m_grid, &GridView::activated, m_grid, [this](const QVariant &key) {
        if (m_def.detailProg > 0)
            openDetail(m_def.detailProg, key);
    });
    QObject::connect(m_grid, &GridView::summaryChanged, m_grid, [this](const QString &text) { sendMessage(text); });
    QObject::connect(m_grid, &GridView::failed, m_grid, [this](const QString &why) {
        showError(QStringLiteral("读取数据出错：%1。请点“刷新”重新读取").arg(why));
    });

    members().add(QStringLiteral("ExportCsv"), [this](const com::DispArgs &a) {
        if (!allowed(Right::Export)) {
            showError(refusal(Right::Export));
            return com::Variant::fromBool(false);
        }
        const auto done = exportCsv(com::argText(a, 0));
        if (!done)
            showError(done.error());
        return com::Variant::fromBool(bool(done));
    });
    // The panel's saved searches for a script or a test, through the paths of its buttons.
    members().add(QStringLiteral("SaveSearch"), [this](const com::DispArgs &a) {
        return com::Variant::fromBool(searchPanel()->saveAs(com::argText(a, 0)));
    });
    members().add(QStringLiteral("ChooseSearch"), [this](const com::DispArgs &a) {
        return com::Variant::fromBool(searchPanel()->choose(com::argText(a, 0)));
    });
    members().add(QStringLiteral("DeleteSearch"), [this](const com::DispArgs &a) {
        return com::Variant::fromBool(searchPanel()->removeSaved(com::argText(a, 0)));
    });
    members().add(QStringLiteral("SavedSearches"), [this](const com::DispArgs &) {
        return com::Variant::fromString(searchPanel()->savedNames().join(u'\n'));
    });
    members().add(QStringLiteral("SearchMessage"), [this](const com::DispArgs &) { return com::Variant::fromString(searchPanel()->message()); });
    members().add(QStringLiteral("RowCount"), [this](const com::DispArgs &) {
        m_grid->fetchAll();
        return com::Variant::fromInt32(m_grid->shown()->rowCount());
    });
}

bool QueryControl::start(const com::DispArgs &)
{
    auto loaded = FunctionDefinition::load(link(), progId());
    if (!loaded) {
        showError(loaded.error());
        return false;
    }
    m_def = std::move(loaded).value();
    // Other agents' phones never reach the grid, its copies or its exports.
    m_grid->rows()->setPhoneMask(m_def.agentField, myAgent());
    const bool editable = m_def.editProg > 0;
    setCommandVisible(QStringLiteral("new"), editable);
    setCommandVisible(QStringLiteral("edit"), editable);
    if (editable) {
        allowCommand(QStringLiteral("new"), allowed(Right::Add, m_def.editProg), refusal(Right::Add));
        allowCommand(QStringLiteral("edit"), allowed(Right::Run, m_def.editProg), refusal(Right::Run));
    }
    allowCommand(QStringLiteral("export"), allowed(Right::Export), refusal(Right::Export));
    m_grid->restoreLayout(QString::number(progId()));
    if (m_search)
        m_search->setup(link(), m_def.columns, userName(), progId());
    m_where.clear();
    m_whereParams.clear();
    updateSearchSummary();
    reload();
    watchChanges();
    return errorText().isEmpty();
}

void QueryControl::watchChanges()
{
    if (m_watch || m_def.table.isEmpty())
        return;
    // Rows saved or deleted anywhere show here as they are now; the list is
    // never read whole for it, and its rights and condition hold.
    m_watch = std::make_unique<ChangeWatch>(link());
    QObject::connect(m_watch.get(), &ChangeWatch::changed, m_grid, [this](const QVector<ChangeWatch::Change> &changes) {
        if (const QVariantList keys = ChangeWatch::keysOf(changes, m_def.table); !keys.isEmpty())
            m_grid->refreshRecords(keys);
    });
    QObject::connect(m_watch.get(), &ChangeWatch::lost, m_grid, [this](const QString &text) { sendMessage(text); });
    QObject::connect(m_watch.get(), &ChangeWatch::caughtUp, m_grid, [this] { m_grid->refreshShown(); });
}

void QueryControl::reload()
{
    hideError();
    // A search runs the definition's statement inside one that keeps the rows
    // asked for; without one the statement runs as the definition has it.
    QString sql = m_def.listSql;
    if (!m_where.isEmpty()) {
        QStringList known{m_def.keyField};
        for (const ColumnDef &c : m_def.columns)
            known << c.field;
        sql = SearchCondition::wrap(m_def.listSql, m_where, known);
    }
    if (const auto loaded = m_grid->load(link(), sql, m_whereParams, m_def.columns, m_def.keyField, DataLink::Origin::Definition); !loaded)
        showError(QStringLiteral("程序<%1>（%2）的定义：%3").arg(progId()).arg(m_def.title, loaded.error()));
}

void QueryControl::clear()
{
    m_watch.reset();
    m_grid->stop();
}

SearchPanel *QueryControl::searchPanel()
{
    // Made when first asked for: most lists are opened, read and closed
    // without it, and its fields and saved searches cost more than the grid.
    if (m_search)
        return m_search;
    m_search = new SearchPanel(page());
    m_search->hide();
    body()->insertWidget(body()->indexOf(m_searchSummary), m_search);
    QObject::connect(m_search, &SearchPanel::collapseRequested, m_grid, [this] { showSearch(false); });
    QObject::connect(m_search, &SearchPanel::searchRequested, m_grid, [this](const QString &where, const QVariantList &params) {
        m_where = where;
        m_whereParams = params;
        reload();
        updateSearchSummary();
    });
    m_search->setup(link(), m_def.columns, userName(), progId());
    return m_search;
}

void QueryControl::showSearch(bool shown)
{
    if (!shown && !m_search)
        return;
    searchPanel()->setVisible(shown);
    updateSearchSummary();
    if (shown)
        m_search->focusFirstField();
    else
        m_grid->view()->setFocus(Qt::ShortcutFocusReason);
}

void QueryControl::updateSearchSummary()
{
    // Collapsed, the panel leaves a line saying which rows are shown, so a
    // narrowed list is not taken for the whole.
    const QString applied = m_search ? m_search->appliedText() : QString();
    m_searchSummary->setText(QStringLiteral("查找条件：%1（%2 展开）")
                                 .arg(applied, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F).toString(QKeySequence::NativeText)));
    m_searchSummary->setAccessibleName(m_searchSummary->text());
    m_searchSummary->setHidden((m_search && !m_search->isHidden()) || applied.isEmpty());
}

jx::Result<> QueryControl::exportCsv(const QString &path) const
{
    return m_grid->exportCsv(path);
}

void QueryControl::exportInteractively()
{
    const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + u'/' + m_def.title + QStringLiteral(".csv");
    const QString path = QFileDialog::getSaveFileName(page(), QStringLiteral("导出"), suggested, QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    if (const auto done = exportCsv(path))
        sendMessage(QStringLiteral("已导出到 %1").arg(path));
    else
        jx::msgBox(done.error(), jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
}

} // namespace jxedit
