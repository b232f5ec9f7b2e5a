#include "PluginTestSession.h"

#include "console/plugins/PluginScanLine.h"
#include "console/plugins/PluginScanner.h"
#include "console/plugins/frmPluginRun.h"
#include "console/plugins/modCreateObj.h"
#include "extplugin/PluginFactory.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/Guid.h"
#include "platform/com/RegistryEdit.h"

#include <QTreeWidget>

#include "ProgramPaths.h"

using namespace jxtest;
using jx::frmPluginRun;

namespace {

QStringList problems(const frmPluginRun &form)
{
    QStringList out;
    for (int i = 0; i < form.LvProblems()->topLevelItemCount(); ++i)
        out << form.LvProblems()->topLevelItem(i)->text(0) + u'=' + form.LvProblems()->topLevelItem(i)->text(1);
    return out;
}

} // namespace

// A library answering success with no factory is refused with the reason on
// every in-process path, never called through.
TEST(BadLibrary, NullFactoryIsRefusedWithAReasonInProcess)
{
    PluginTestSession t;
    t.open();
    const QString path = t.drop(programPath("TP_BAD_NULL_PATH"), QStringLiteral("null.so"));

    try {
        extplugin::createPluginFromFile(path, QStringLiteral("Broken"));
        ADD_FAILURE() << "a null factory gave a plug-in";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), com::errors::CannotCreateObject);
        EXPECT_TRUE(e.description().contains(QStringLiteral("没有给出类工厂"))) << e.description().toStdString();
    }

    const auto created = jx::CreatePluginObject(path, QStringLiteral("badNull.Broken"), QStringLiteral("Broken"));
    EXPECT_FALSE(created);
    EXPECT_TRUE(created.error().contains(QStringLiteral("没有给出类工厂"))) << created.error().toStdString();

    // Through the registration as well.
    const CLSID clsid = *com::guidFromString(QStringLiteral("{0E1D2C3B-3001-4A5B-8C9D-0E1F2A3B4C50}"));
    const auto registered = com::RegistryStore::edit([&](com::RegistryEdit &e) -> jx::Result<> {
        if (!e.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{0E1D2C3B-3001-4A5B-8C9D-0E1F2A3B4C50}\\InprocServer32"),
                        QString(), path))
            return jx::fail(QStringLiteral("not a key that can hold values"));
        return {};
    });
    ASSERT_TRUE(registered) << registered.error().toStdString();
    com::ComPtr<IUnknown> object;
    EXPECT_TRUE(FAILED(com::createInstance(clsid, IID_IUnknown, object.putVoid())));
    EXPECT_FALSE(object);
    EXPECT_TRUE(com::takeErrorInfo().description.contains(QStringLiteral("没有给出类工厂")));

    // The manager's in-process scan lists it with that reason.
    const jx::PluginScan scan = jx::LoadPlugin(t.session.AppContext(), t.installation.folder());
    EXPECT_TRUE(scan.rows.isEmpty());
    ASSERT_EQ(scan.rejected.size(), 1);
    EXPECT_TRUE(scan.rejected.at(0).reason.contains(QStringLiteral("没有给出类工厂"))) << scan.rejected.at(0).reason.toStdString();
}

// The manager's list over a folder with a good plug-in among libraries that
// give no factory, crash and hang: every one is listed, and this process lives on.
TEST(BadLibrary, ManagerScanListsTheGoodPluginAndTheBadOnesWithTheirReasons)
{
    PluginTestSession t;
    t.open();
    t.drop(programPath("TP_BAD_CRASH_PATH"), QStringLiteral("a_crash.so"));
    t.drop(programPath("TP_BAD_HANG_PATH"), QStringLiteral("b_hang.so"));
    t.drop(programPath("JXTOOL_PATH"), QStringLiteral("JXTool.so"));
    t.drop(programPath("TP_BAD_NULL_PATH"), QStringLiteral("null.so"));

    frmPluginRun form(t.session);
    form.Scanner().setHostProgram(programPath("PLUGIN_HOST_PATH"));
    // The scanner's own time limit: a shorter one made a crash that the
    // sanitizers take over a second to report look like a hang.
    form.LoadForm();

    ASSERT_EQ(form.LV()->topLevelItemCount(), 1);
    const QTreeWidgetItem *tool = form.LV()->topLevelItem(0);
    EXPECT_EQ(tool->text(frmPluginRun::ColDescription), QStringLiteral("帐套启用"));
    EXPECT_EQ(tool->text(frmPluginRun::ColFileName), QStringLiteral("\\Plugin\\JXTool.so"));
    EXPECT_EQ(tool->text(frmPluginRun::ColName), QStringLiteral("calcTool"));
    EXPECT_EQ(tool->text(frmPluginRun::ColReg), QStringLiteral("0"));

    const QStringList listed = problems(form);
    ASSERT_EQ(listed.size(), 3) << listed.join(u'\n').toStdString();
    EXPECT_EQ(listed.at(0), QStringLiteral("a_crash.so=加载时崩溃"));
    EXPECT_EQ(listed.at(1), QStringLiteral("b_hang.so=没有响应"));
    EXPECT_TRUE(listed.at(2).startsWith(QStringLiteral("null.so="))) << listed.at(2).toStdString();
    EXPECT_TRUE(listed.at(2).contains(QStringLiteral("没有给出类工厂"))) << listed.at(2).toStdString();

    // The good plug-in still runs here, in process, from its row.
    form.LV()->setCurrentItem(form.LV()->topLevelItem(0));
    const auto created = jx::CreatePluginObject(tool->text(frmPluginRun::ColPath), tool->text(frmPluginRun::ColClassName),
                                                tool->text(frmPluginRun::ColName));
    EXPECT_TRUE(created) << created.error().toStdString();
    EXPECT_TRUE(created && *created);
}

// A helper that is not there is a listed reason, not a lost library.
TEST(BadLibrary, MissingHelperRejectsTheLibraryWithTheReason)
{
    PluginTestSession t;
    t.drop(programPath("JXTOOL_PATH"), QStringLiteral("JXTool.so"));
    jx::PluginScanner scanner;
    scanner.setHostProgram(t.installation.path(QStringLiteral("no-such-host")));
    const jx::PluginScan scan = scanner.scan(t.installation.folder());
    EXPECT_TRUE(scan.rows.isEmpty());
    ASSERT_EQ(scan.rejected.size(), 1);
    EXPECT_TRUE(scan.rejected.at(0).reason.startsWith(QStringLiteral("无法启动扫描程序"))) << scan.rejected.at(0).reason.toStdString();
}

// Texts with the separators in them come back as they went.
TEST(BadLibrary, ScanLinesCarryTabsNewlinesAndBackslashes)
{
    jx::PluginRow row;
    row.descriptor.path = QStringLiteral("/opt/jx/Plugin/工具\t1.so");
    row.descriptor.progId = QStringLiteral("lib.Cls");
    row.descriptor.className = QStringLiteral("Cls");
    row.friendlyName = QStringLiteral("名称\\n");
    row.description = QStringLiteral("第一行\n第二行\r\n");
    jx::PluginScan scan;
    EXPECT_FALSE(jx::DecodeScanLine("a plug-in's own output\n", scan));
    ASSERT_TRUE(jx::DecodeScanLine(jx::EncodeScanRow(row), scan));
    ASSERT_TRUE(jx::DecodeScanLine(jx::EncodeScanRejection({row.descriptor.path, QStringLiteral("原因\t说明")}), scan));
    ASSERT_EQ(scan.rows.size(), 1);
    EXPECT_EQ(scan.rows.at(0).descriptor.path, row.descriptor.path);
    EXPECT_EQ(scan.rows.at(0).friendlyName, row.friendlyName);
    EXPECT_EQ(scan.rows.at(0).description, row.description);
    EXPECT_TRUE(scan.rows.at(0).author.isEmpty());
    ASSERT_EQ(scan.rejected.size(), 1);
    EXPECT_EQ(scan.rejected.at(0).reason, QStringLiteral("原因\t说明"));
}
