#include "console/plugins/frmPluginRun.h"

#include "ui_frmPluginRun.h"

#include "console/config/bCommon.h"
#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/bMain.h"
#include "extplugin/PluginFactory.h"
#include "platform/Numeric.h"
#include "platform/com/Bstr.h"
#include "platform/com/LateBound.h"
#include "platform/com/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>

#include <exception>

namespace jx {

namespace {

// The row's hidden tag: the plug-in's description.
constexpr int kTagRole = Qt::UserRole;

} // namespace

frmPluginRun::frmPluginRun(ConsoleSession &session, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmPluginRun>())
    , m_session(session)
{
    ui->setupUi(this);
    m_caption = windowTitle();
    connect(ui->LV, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { showRow(item); });
    // The texts follow the selected row; a row that is only current (the list
    // got the focus, say) is not the one Configure and Run would use.
    connect(ui->LV, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (const QList<QTreeWidgetItem *> selected = ui->LV->selectedItems(); !selected.isEmpty())
            showRow(selected.first());
    });
    connect(ui->LV, &QTreeWidget::itemDoubleClicked, this, [this] { Run(); });
    connect(ui->Cmd0, &QPushButton::clicked, this, &frmPluginRun::Configure);
    connect(ui->Cmd1, &QPushButton::clicked, this, &frmPluginRun::Run);
    connect(ui->Cmd2, &QPushButton::clicked, this, &QDialog::close);
}

frmPluginRun::~frmPluginRun() = default;

QTreeWidget *frmPluginRun::LV() const { return ui->LV; }
QTreeWidget *frmPluginRun::LvProblems() const { return ui->LvProblems; }
QPlainTextEdit *frmPluginRun::txtDescription() const { return ui->txtDescription; }
QLabel *frmPluginRun::lblAuthor() const { return ui->lblAuthor; }

QPushButton *frmPluginRun::Cmd(int index) const
{
    switch (index) {
    case 0: return ui->Cmd0;
    case 1: return ui->Cmd1;
    case 2: return ui->Cmd2;
    default: return nullptr;
    }
}

void frmPluginRun::Py_Init(int32_t plCzid, const QString &psCaption)
{
    m_czid = plCzid;
    m_caption = psCaption;
    exec();
}

void frmPluginRun::showEvent(QShowEvent *event)
{
    LoadForm();
    QDialog::showEvent(event);
}

void frmPluginRun::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    setColumnWidths();
}

void frmPluginRun::setColumnWidths()
{
    const int width = ui->LV->viewport()->width();
    ui->LV->setColumnWidth(ColDescription, int(width * 0.6));
    ui->LV->setColumnWidth(ColStyleName, int(width * 0.3));
}

void frmPluginRun::LoadForm()
{
    if (m_loaded)
        return;
    m_loaded = true;
    setWindowTitle(m_caption);

    QTreeWidget *lv = ui->LV;
    lv->clear();
    lv->setColumnCount(ColumnCount);
    lv->setHeaderLabels({QStringLiteral("可用的插件"), QStringLiteral("开发商名称"), QStringLiteral("文件名"),
                         QStringLiteral("类名"), QStringLiteral("路径"), QStringLiteral("类名称"), QStringLiteral("是否注册")});
    lv->setSelectionMode(QAbstractItemView::SingleSelection);
    lv->header()->setStretchLastSection(false);
    // The five data columns have width 0: present in every row, never shown.
    for (int c = ColFileName; c < ColumnCount; ++c) {
        lv->setColumnWidth(c, 0);
        lv->setColumnHidden(c, true);
    }
    setColumnWidths();

    const QString programFolder = AppPath();
    const QString subject = m_session.Config() ? m_session.Config()->Subject() : QString();
    const QIcon icon = style()->standardIcon(QStyle::SP_FileDialogDetailedView);
    const PluginScan scan = scanPlugins(programFolder);
    for (const PluginRow &row : scan.rows) {
        auto *item = new QTreeWidgetItem(lv);
        item->setIcon(ColDescription, icon);
        item->setText(ColDescription, row.friendlyName);
        item->setText(ColStyleName, subject.isEmpty() ? row.author : subject);
        // The program folder's text removed, in the product's "\" form.
        item->setText(ColFileName, QString(row.descriptor.path).remove(programFolder).replace(u'/', u'\\'));
        item->setText(ColClassName, row.descriptor.progId);
        item->setText(ColPath, row.descriptor.path);
        item->setText(ColName, row.descriptor.className);
        item->setText(ColReg, QString::number(row.descriptor.registered));
        item->setData(ColDescription, kTagRole, row.description);
    }

    ui->LvProblems->clear();
    for (const PluginRejection &rejected : scan.rejected)
        new QTreeWidgetItem(ui->LvProblems, {QFileInfo(rejected.path).fileName(), rejected.reason});
    ui->LvProblems->resizeColumnToContents(0);
    ui->LvProblems->setVisible(!scan.rejected.isEmpty());
    ui->lblProblems->setVisible(!scan.rejected.isEmpty());

    if (const QList<QTreeWidgetItem *> selected = lv->selectedItems(); !selected.isEmpty())
        showRow(selected.first());
    if (AppContext *context = m_session.AppContext())
        context->Theme().Apply(this);
}

PluginScan frmPluginRun::scanPlugins(const QString &programFolder)
{
    if (!m_scanner.hostProgram().isEmpty())
        return m_scanner.scan(programFolder);
    try {
        WriteLog(QStringLiteral("找不到插件扫描程序 plugin-host，插件在本进程中扫描"), LogNotice, QString());
    } catch (const std::exception &) {
        // no log: the list is built all the same
    }
    return LoadPlugin(m_session.AppContext(), programFolder);
}

void frmPluginRun::showRow(QTreeWidgetItem *item)
{
    if (!item)
        return;
    ui->txtDescription->setPlainText(item->data(ColDescription, kTagRole).toString());
    ui->lblAuthor->setText(item->text(ColStyleName));
}

com::ComPtr<IExtPluginUI> frmPluginRun::objectFor(QTreeWidgetItem *item)
{
    if (val(item->text(ColReg)) != 0)
        return extplugin::createPlugin(item->text(ColClassName));
    // No object from the file is answered with none; the caller says so.
    return CreatePluginObject(item->text(ColPath), item->text(ColClassName), item->text(ColName))
        .valueOr(com::ComPtr<IExtPluginUI>());
}

void frmPluginRun::Configure()
{
    QTreeWidgetItem *item = ui->LV->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString text = item->text(ColDescription);
    try {
        const com::ComPtr<IExtPluginUI> plugin = objectFor(item);
        if (plugin) {
            extplugin::startPlugin(plugin.get(), m_session.AppContext(), {});
            VARIANT_BOOL done = VARIANT_FALSE;
            com::throwIfFailed(plugin->Configure(&done), QStringLiteral("frmPluginRun"));
            com::ComPtr<IDispatch> error;
            com::throwIfFailed(plugin->get_Error(error.put()), QStringLiteral("frmPluginRun"));
            const QString description = error ? toText(com::toQVariant(com::get(error.get(), QStringLiteral("Description")))) : QString();
            VARIANT_BOOL cleared = VARIANT_FALSE;
            if (!description.isEmpty()) {
                WriteLog(description, LogNotice, QString());
                com::throwIfFailed(plugin->Clear(&cleared), QStringLiteral("frmPluginRun"));
                return;
            }
            com::throwIfFailed(plugin->Clear(&cleared), QStringLiteral("frmPluginRun"));
        }
        ShowStatus(m_session, text + QStringLiteral("配置完成"));
    } catch (...) {
        try {
            WriteLog(QStringLiteral("配置") + text + QStringLiteral("时发生错误，") + com::currentErrorDescription(), LogWarning, QString());
        } catch (const std::exception &) {
            // no log: the window stays usable all the same
        }
    }
}

void frmPluginRun::Run()
{
    QTreeWidgetItem *item = ui->LV->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString text = item->text(ColDescription);
    try {
        const com::ComPtr<IExtPluginUI> plugin = objectFor(item);
        if (plugin) {
            extplugin::startPlugin(plugin.get(), m_session.AppContext(), {});
            BSTR commandLine = nullptr;
            VARIANT_BOOL ignored = VARIANT_FALSE;
            const HRESULT acted = plugin->Action(&commandLine, &ignored);
            SysFreeString(commandLine);
            com::throwIfFailed(acted, QStringLiteral("frmPluginRun"));
            com::throwIfFailed(plugin->Clear(&ignored), QStringLiteral("frmPluginRun"));
        }
    } catch (...) {
        try {
            WriteLog(QStringLiteral("运行") + text + QStringLiteral("时发生错误，") + com::currentErrorDescription(), LogWarning, QString());
        } catch (const std::exception &) {
            // no log: the window stays usable all the same
        }
    }
}

void frmPluginRun::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        try {
            if (m_session.AppContext())
                ShowStatus(m_session, QString());
        } catch (const std::exception &) {
            // the status bar is a courtesy; the record below is not
        }
        try {
            WriteOperation(QStringLiteral("退出[") + m_caption + QStringLiteral("]"), m_czid, QString());
        } catch (const std::exception &) {
            // no log: closing goes on
        }
    }
    QDialog::done(result);
}

} // namespace jx
