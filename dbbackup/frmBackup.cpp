#include "dbbackup/frmBackup.h"

#include "platform/MessageBox.h"

#include "ui_frmBackup.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>

namespace {

// The daily backup's own entry in the configuration names the folder and
// how many copies are kept; this window shares them.
const QString kDailyBackupProgId = QStringLiteral("jxBackup.DailyBackup");

QString sizeText(qint64 bytes)
{
    return QLocale(QLocale::Chinese, QLocale::China).formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

frmBackup::frmBackup(const QString &configFile, const QString &appPath, OperationNote noteOperation, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmBackup>()), m_backup(configFile, appPath, kDailyBackupProgId),
      m_note(std::move(noteOperation))
{
    ui->setupUi(this);
    ui->tblCopies->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui->tblCopies->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(ui->btnCopyNow, &QPushButton::clicked, this, &frmBackup::CopyNow);
    connect(ui->btnRestore, &QPushButton::clicked, this, &frmBackup::RestoreSelected);
    connect(ui->tblCopies, &QTableWidget::itemSelectionChanged, this,
            [this] { ui->btnRestore->setEnabled(m_loaded && !ui->tblCopies->selectedItems().isEmpty()); });
    m_loaded = m_backup.Load();
    if (!m_loaded) {
        ui->lblDatabase->setText(QStringLiteral("无法使用数据备份：") + m_backup.Error());
        ui->btnCopyNow->setEnabled(false);
    } else if (m_backup.IsSqlite()) {
        ui->lblDatabase->setText(QStringLiteral("数据库：%1\n备份文件夹：%2（每日自动备份，保留最近 %3 份；手动备份不会被自动删除）")
                                     .arg(QDir::toNativeSeparators(m_backup.SqliteFile()),
                                          QDir::toNativeSeparators(m_backup.Folder()))
                                     .arg(m_backup.Keep()));
    } else {
        ui->lblDatabase->setText(QStringLiteral("PostgreSQL 数据库：%1\n备份文件夹：%2（pg_dump 导出的 SQL 脚本；"
                                                "恢复需要数据库管理员用 psql 导入，见“恢复所选备份”）")
                                     .arg(m_backup.PgDatabase(), QDir::toNativeSeparators(m_backup.Folder())));
    }
    reload();
}

frmBackup::~frmBackup() = default;

void frmBackup::reload()
{
    m_copies = m_loaded ? m_catalog.Copies() : std::vector<BackupCatalog::Copy>();
    ui->tblCopies->setRowCount(int(m_copies.size()));
    for (int row = 0; row < int(m_copies.size()); ++row) {
        const BackupCatalog::Copy &c = m_copies[size_t(row)];
        const QString when = c.byHand ? c.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("（手动）")
                                      : c.taken.date().toString(QStringLiteral("yyyy-MM-dd"));
        ui->tblCopies->setItem(row, 0, new QTableWidgetItem(when));
        auto *size = new QTableWidgetItem(sizeText(c.size));
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui->tblCopies->setItem(row, 1, size);
        ui->tblCopies->setItem(row, 2, new QTableWidgetItem(QFileInfo(c.file).fileName()));
    }
    if (!m_copies.empty())
        ui->tblCopies->selectRow(0);
    ui->btnRestore->setEnabled(m_loaded && !m_copies.empty());
}

void frmBackup::CopyNow()
{
    if (!m_catalog.CopyNow(m_clock())) {
        jx::msgBox(m_catalog.Error(), jx::Critical, QStringLiteral("数据备份"));
        return;
    }
    if (m_note)
        m_note(QStringLiteral("手动备份数据库到") + QFileInfo(m_catalog.LastCopy()).fileName());
    reload();
}

void frmBackup::RestoreSelected()
{
    const int row = ui->tblCopies->currentRow();
    if (row < 0 || row >= int(m_copies.size()))
        return;
    const BackupCatalog::Copy copy = m_copies[size_t(row)];
    if (m_backup.IsSqlite()) {
        // A damaged copy is refused before the user is asked anything.
        if (const auto sound = BackupCatalog::CheckSqliteCopy(copy.file); !sound) {
            jx::msgBox(sound.error(), jx::Critical, QStringLiteral("数据备份"));
            return;
        }
        if (jx::msgBox(m_catalog.RestoreQuestion(copy), jx::YesNo | jx::Exclamation | jx::DefaultButton2,
                       QStringLiteral("恢复数据库"))
            != jx::Yes)
            return;
    }
    if (!m_catalog.Restore(copy.file, m_clock())) {
        jx::msgBox(m_catalog.Error(), m_backup.IsSqlite() ? jx::Critical : jx::Information, QStringLiteral("数据备份"));
        return;
    }
    if (m_note)
        m_note(QStringLiteral("用备份%1恢复数据库（恢复前的数据库已备份为%2）")
                   .arg(QFileInfo(copy.file).fileName(), QFileInfo(m_catalog.LastCopy()).fileName()));
    reload();
    jx::msgBox(QStringLiteral("数据库已恢复为这份备份的内容。恢复前的数据库已另存为 %1。\n请重新启动本程序，让各功能读到恢复后的数据。")
                   .arg(QFileInfo(m_catalog.LastCopy()).fileName()),
               jx::Information, QStringLiteral("数据备份"));
}
