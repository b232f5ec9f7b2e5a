#include "jxedit/QueryControl.h"

#include "jxedit/GridView.h"
#include "jxedit/RowModel.h"

#include "platform/MessageBox.h"
#include "platform/com/Dispatchable.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace jxedit {

QueryControl::QueryControl() : m_grid(new GridView(page()))
{
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
        QString why = refusal(Right::Export);
        const bool ok = allowed(Right::Export) && exportCsv(com::argText(a, 0), why);
        if (!ok)
            showError(why);
        return com::Variant::fromBool(ok);
    });
    members().add(QStringLiteral("RowCount"), [this](const com::DispArgs &) {
        m_grid->fetchAll();
        return com::Variant::fromInt32(m_grid->shown()->rowCount());
    });
}

bool QueryControl::start(const com::DispArgs &)
{
    QString why;
    if (!FunctionDefinition::load(link(), progId(), m_def, why)) {
        showError(why);
        return false;
    }
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
    reload();
    return errorText().isEmpty();
}

void QueryControl::reload()
{
    QString why;
    hideError();
    if (!m_grid->load(link(), m_def.listSql, {}, m_def.columns, m_def.keyField, why, DataLink::Origin::Definition))
        showError(QStringLiteral("程序<%1>（%2）的定义：%3").arg(progId()).arg(m_def.title, why));
}

void QueryControl::clear() { m_grid->stop(); }

bool QueryControl::exportCsv(const QString &path, QString &why) const
{
    return m_grid->exportCsv(path, why);
}

void QueryControl::exportInteractively()
{
    const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + u'/' + m_def.title + QStringLiteral(".csv");
    const QString path = QFileDialog::getSaveFileName(page(), QStringLiteral("导出"), suggested, QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    QString why;
    if (exportCsv(path, why))
        sendMessage(QStringLiteral("已导出到 %1").arg(path));
    else
        jx::msgBox(why, jx::OKOnly | jx::Exclamation, QStringLiteral("提示："));
}

} // namespace jxedit
