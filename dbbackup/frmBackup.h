#pragma once

#include "dbbackup/BackupCatalog.h"
#include "dbbackup/DatabaseBackup.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class frmBackup;
}

// The 数据备份 window: this installation's copies (time, size, file), a copy
// made now, and a chosen copy put back after a confirmation that names what
// it replaces. What it did goes to `noteOperation` for the operation log.
class frmBackup final : public QDialog
{
    Q_OBJECT
public:
    using OperationNote = std::function<void(const QString &message)>;

    frmBackup(const QString &configFile, const QString &appPath, OperationNote noteOperation, QWidget *parent = nullptr);
    ~frmBackup() override;

    void CopyNow();
    void RestoreSelected();
    // The time copies are named by; tests fix it.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

private:
    void reload();

    std::unique_ptr<Ui::frmBackup> ui;
    DatabaseBackup m_backup;
    BackupCatalog m_catalog{m_backup};
    std::vector<BackupCatalog::Copy> m_copies;
    OperationNote m_note;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
    bool m_loaded = false;
};
