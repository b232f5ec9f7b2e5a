#include "PluginTestSession.h"

#include "dbbackup/BackupCatalog.h"
#include "dbbackup/DatabaseBackup.h"
#include "dbbackup/frmBackup.h"
#include "extplugin/PluginFactory.h"
#include "platform/MessageBox.h"
#include "platform/com/Bstr.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <sqlite3.h>
#include "ProgramPaths.h"

using namespace jxtest;

namespace {

const QString kDaily = QStringLiteral("jxBackup.DailyBackup");

QString menuName(const QString &dbFile, const char *code)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(dbFile).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *s = nullptr;
    QString name;
    const QByteArray sql = QByteArray("select menuname from xt_menu where menucode='") + code + "'";
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return name;
}

QString backupEntry(const QString &folder)
{
    return QStringLiteral("<plugins><plugin active=\"加载\"><style>101</style><classname>jxBackup.DailyBackup</classname>"
                          "<keep>2</keep><folder>%1</folder></plugin></plugins>")
        .arg(folder);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

// Copies by hand sit beside the daily ones, survive pruning, and a restore
// puts a chosen copy back after saving the database as it stood.
TEST(BackupFunction, CopiesListedNewestFirstAndARestoreCanItselfBeUndone)
{
    QTemporaryDir shared;
    TestInstallation inst, other;
    inst.writeConfig(backupEntry(shared.path()));
    other.writeConfig(backupEntry(shared.path()));
    const QString live = inst.path(QStringLiteral("jx.db"));
    DatabaseBackup backup(inst.configFile(), inst.folder(), kDaily);
    ASSERT_TRUE(backup.Run(QDate(2026, 12, 1))) << backup.Error().toStdString();
    DatabaseBackup elsewhere(other.configFile(), other.folder(), kDaily);
    ASSERT_TRUE(elsewhere.Run(QDate(2026, 12, 2)));

    ASSERT_TRUE(backup.Load());
    BackupCatalog catalog(backup);
    const QString before = menuName(live, "0403");
    ASSERT_FALSE(before.isEmpty());
    inst.execute(QStringLiteral("UPDATE xt_menu SET menuname='手动前' WHERE menucode='0403'"));
    ASSERT_TRUE(catalog.CopyNow(QDateTime(QDate(2026, 12, 1), QTime(15, 30, 5)))) << catalog.Error().toStdString();
    const QString byHand = catalog.LastCopy();
    EXPECT_TRUE(byHand.endsWith(QStringLiteral("-20261201-153005.db"))) << byHand.toStdString();
    // Three more days: the daily copies are pruned to two, the one by hand stays.
    for (int d = 2; d <= 4; ++d)
        ASSERT_TRUE(backup.Run(QDate(2026, 12, d)));
    std::vector<BackupCatalog::Copy> copies = catalog.Copies();
    ASSERT_EQ(copies.size(), 3u);
    EXPECT_EQ(copies[0].taken.date(), QDate(2026, 12, 4));
    EXPECT_EQ(copies[1].taken.date(), QDate(2026, 12, 3));
    EXPECT_EQ(copies[2].file, byHand);
    EXPECT_TRUE(copies[2].byHand);
    EXPECT_GT(copies[2].size, 0);
    EXPECT_TRUE(catalog.RestoreQuestion(copies[2]).contains(QStringLiteral("2026-12-01 15:30:05")));
    EXPECT_TRUE(catalog.RestoreQuestion(copies[2]).contains(QDir::toNativeSeparators(live)));

    inst.execute(QStringLiteral("UPDATE xt_menu SET menuname='恢复前' WHERE menucode='0403'"));
    ASSERT_TRUE(catalog.Restore(byHand, QDateTime(QDate(2026, 12, 5), QTime(9, 0, 0)))) << catalog.Error().toStdString();
    EXPECT_EQ(menuName(live, "0403"), QStringLiteral("手动前"));
    // The database as it stood before the restore is a copy of its own.
    const QString safety = catalog.LastCopy();
    EXPECT_TRUE(safety.endsWith(QStringLiteral("-20261205-090000.db"))) << safety.toStdString();
    EXPECT_EQ(menuName(safety, "0403"), QStringLiteral("恢复前"));
    EXPECT_EQ(catalog.Copies().size(), 4u);
}

TEST(BackupFunction, DamagedOrForeignCopiesAreRefusedAndTheDatabaseStaysAsItWas)
{
    QTemporaryDir shared;
    TestInstallation inst;
    inst.writeConfig(backupEntry(shared.path()));
    const QString live = inst.path(QStringLiteral("jx.db"));
    DatabaseBackup backup(inst.configFile(), inst.folder(), kDaily);
    ASSERT_TRUE(backup.Run(QDate(2026, 12, 1)));
    const QString good = backup.BackupFile();
    inst.execute(QStringLiteral("UPDATE xt_menu SET menuname='现在' WHERE menucode='0403'"));
    BackupCatalog catalog(backup);
    const QDateTime now(QDate(2026, 12, 2), QTime(8, 0, 0));

    // A copy cut short, one overwritten with rubbish, and a database of something else.
    QFile whole(good);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    whole.close();
    const QString cut = QDir(shared.path()).filePath(backup.Stem() + QStringLiteral("-20261130.db"));
    writeFile(cut, bytes.left(bytes.size() / 3));
    const QString rubbish = QDir(shared.path()).filePath(backup.Stem() + QStringLiteral("-20261129.db"));
    writeFile(rubbish, QByteArray(8192, 'x'));
    const QString foreign = QDir(shared.path()).filePath(backup.Stem() + QStringLiteral("-20261128.db"));
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(foreign).constData(), &db);
    sqlite3_exec(db, "create table notes (t text)", nullptr, nullptr, nullptr);
    sqlite3_close(db);

    for (const QString &bad : {cut, rubbish, foreign}) {
        EXPECT_FALSE(catalog.Restore(bad, now)) << bad.toStdString();
        EXPECT_FALSE(catalog.Error().isEmpty());
        EXPECT_EQ(menuName(live, "0403"), QStringLiteral("现在")) << bad.toStdString();
    }
    EXPECT_TRUE(catalog.Error().contains(QStringLiteral("不是本系统的数据库备份")));
    // Nothing was copied for refused restores.
    EXPECT_EQ(catalog.Copies().size(), 4u);

    // A database file that went away is not made anew by a restore.
    ASSERT_TRUE(QFile::remove(live));
    EXPECT_FALSE(catalog.Restore(good, now.addSecs(1)));
    EXPECT_FALSE(QFileInfo::exists(live));
}

TEST(BackupFunction, PostgresDumpsAreListedAndRestoringOneIsExplainedNotTried)
{
    QTemporaryDir shared;
    TestInstallation inst;
    inst.writeConfig(backupEntry(shared.path()),
                     QStringLiteral("<database driver=\"postgres\" host=\"127.0.0.1\" port=\"1\" user=\"u\" database=\"jxdemo\"/>"));
    DatabaseBackup backup(inst.configFile(), inst.folder(), kDaily);
    ASSERT_TRUE(backup.Load()) << backup.Error().toStdString();
    const QString dump = QDir(shared.path()).filePath(backup.Stem() + QStringLiteral("-20261201.sql"));
    writeFile(dump, "-- dump");
    BackupCatalog catalog(backup);
    ASSERT_EQ(catalog.Copies().size(), 1u);
    EXPECT_FALSE(catalog.Restore(dump, QDateTime::currentDateTime()));
    EXPECT_TRUE(catalog.Error().contains(QStringLiteral("psql"))) << catalog.Error().toStdString();
    EXPECT_TRUE(catalog.Error().contains(QDir::toNativeSeparators(dump)));
}

// The window asks before replacing anything, names the operation in the log
// and refuses a damaged copy before asking.
TEST(BackupFunction, TheWindowCopiesAndRestoresAfterAskingAndNotesWhatItDid)
{
    QTemporaryDir shared;
    TestInstallation inst;
    inst.writeConfig(backupEntry(shared.path()));
    const QString live = inst.path(QStringLiteral("jx.db"));
    QStringList notes;
    frmBackup window(inst.configFile(), inst.folder(), [&](const QString &m) { notes << m; });
    QDateTime clock(QDate(2026, 12, 3), QTime(10, 0, 0));
    window.setClock([&] { return clock; });
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("tblCopies"));
    auto *restore = window.findChild<QPushButton *>(QStringLiteral("btnRestore"));
    ASSERT_TRUE(table && restore);
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_FALSE(restore->isEnabled());

    jx::ScopedMessageBoxRecorder boxes(jx::No);
    window.findChild<QPushButton *>(QStringLiteral("btnCopyNow"))->click();
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("2026-12-03 10:00:00（手动）"));
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes[0].startsWith(QStringLiteral("手动备份数据库到"))) << notes[0].toStdString();
    EXPECT_EQ(boxes.count(), 0);

    inst.execute(QStringLiteral("UPDATE xt_menu SET menuname='之后' WHERE menucode='0403'"));
    clock = clock.addSecs(60);
    restore->click(); // answered No
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("恢复数据库"));
    EXPECT_EQ(menuName(live, "0403"), QStringLiteral("之后"));
    EXPECT_EQ(notes.size(), 1);

    boxes.clear();
    boxes.setAnswer(jx::Yes);
    restore->click();
    EXPECT_NE(menuName(live, "0403"), QStringLiteral("之后"));
    ASSERT_EQ(notes.size(), 2);
    EXPECT_TRUE(notes[1].startsWith(QStringLiteral("用备份"))) << notes[1].toStdString();
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_EQ(boxes.last().style & 0xF0, int(jx::Information));

    // A damaged copy: refused before any question.
    DatabaseBackup same(inst.configFile(), inst.folder(), kDaily);
    ASSERT_TRUE(same.Load());
    writeFile(QDir(shared.path()).filePath(same.Stem() + QStringLiteral("-20991231.db")), QByteArray(4096, 'z'));
    clock = clock.addSecs(60);
    window.findChild<QPushButton *>(QStringLiteral("btnCopyNow"))->click(); // reloads the list
    boxes.clear();
    table->selectRow(0);
    ASSERT_TRUE(table->item(0, 2)->text().endsWith(QStringLiteral("-20991231.db")));
    restore->click();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("备份文件已损坏"))) << boxes.last().text.toStdString();
}

TEST(BackupFunction, RunsAsAPlugInAndWhatItDoesIsAnOperationRecord)
{
    PluginTestSession t;
    QTemporaryDir shared;
    t.open(backupEntry(shared.path()));
    com::ComPtr<IExtPluginUI> plugin =
        extplugin::createPluginFromFile(programPath("JXBACKUP_PATH"), QStringLiteral("BackupManager"));
    ASSERT_TRUE(plugin);
    EXPECT_EQ(extplugin::pluginFriendlyName(plugin.get()), QStringLiteral("数据备份"));
    ASSERT_TRUE(extplugin::startPlugin(plugin.get(), t.session.AppContext(),
                                       {{QStringLiteral("ProgID"), QStringLiteral("4003")},
                                        {QStringLiteral("Caption"), QStringLiteral("数据备份")}}));
    // The window lives in the plug-in library: found by its class name, as a
    // meta-object of the library's own copy of the class.
    bool shown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->inherits("frmBackup") && w->isVisible()) {
                shown = true;
                w->findChild<QPushButton *>(QStringLiteral("btnCopyNow"))->click();
                w->findChild<QPushButton *>(QStringLiteral("btnClose"))->click();
                poll.stop();
            }
    });
    poll.start(20);
    QTimer::singleShot(10000, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QDialog *>(w))
                dialog->reject();
    });
    BSTR line = com::toBstr(QString());
    VARIANT_BOOL done = VARIANT_FALSE;
    EXPECT_EQ(plugin->Action(&line, &done), S_OK);
    SysFreeString(line);
    EXPECT_TRUE(shown);
    EXPECT_NE(done, VARIANT_FALSE);
    const QStringList records = t.entriesOfKind(48);
    ASSERT_EQ(records.size(), 1) << records.join(u'\n').toStdString();
    EXPECT_TRUE(records[0].startsWith(QStringLiteral("<log><progid>4003</progid>"))) << records[0].toStdString();
    EXPECT_TRUE(records[0].contains(QStringLiteral("手动备份数据库到"))) << records[0].toStdString();
    EXPECT_EQ(QDir(shared.path()).entryList(QDir::Files).size(), 1);
    VARIANT_BOOL cleared = VARIANT_FALSE;
    plugin->Clear(&cleared);
}
