#include "PluginTestSession.h"

#include "console/plugins/modCreateObj.h"

#include <QFile>
#include "ProgramPaths.h"

using namespace jxtest;

namespace {

QStringList names(const jx::PluginScan &scan)
{
    QStringList out;
    for (const jx::PluginRow &row : scan.rows)
        out << row.descriptor.progId + u'=' + row.friendlyName + u'/' + row.author + u'/' + QString::number(row.descriptor.registered);
    return out;
}

int loads(const char *variable)
{
    return qEnvironmentVariableIntValue(variable);
}

} // namespace

TEST(PluginScan, ListsEveryPluginClassAndGoesOnPastBrokenLibraries)
{
    PluginTestSession t;
    t.open();
    t.drop(programPath("TP_TWO_PATH"), QStringLiteral("a_two.so"));
    t.dropText(QStringLiteral("b_broken.so"), "this is no library");
    QFile one(programPath("TP_ONE_PATH"));
    ASSERT_TRUE(one.open(QIODevice::ReadOnly));
    t.dropText(QStringLiteral("c_truncated.so"), one.read(3000));
    t.drop(programPath("TP_ONE_PATH"), QStringLiteral("d_one.so"));
    t.drop(programPath("TP_STARTUP_PATH"), QStringLiteral("e_startup.so"));
    t.dropText(QStringLiteral("notes.txt"), "not a library name");
    const qsizetype before = t.log.entries.size();

    const jx::PluginScan scan = jx::LoadPlugin(t.session.AppContext(), t.installation.folder());

    // Two classes of one library give two rows; "_iextpluginui" is not the plug-in interface.
    EXPECT_EQ(names(scan), (QStringList{QStringLiteral("tpTwo.Alpha=工具Alpha/作者Alpha/0"),
                                        QStringLiteral("tpTwo.Beta=工具Beta/作者Beta/0"),
                                        QStringLiteral("tpOne.Solo=工具Solo/作者Solo/0")}));
    EXPECT_EQ(scan.rows.at(0).descriptor.path, t.installation.path(QStringLiteral("Plugin/a_two.so")));
    EXPECT_EQ(scan.rows.at(0).description, QStringLiteral("Alpha的说明"));
    // Each listed object was started and cleared once.
    EXPECT_EQ(qEnvironmentVariable("TP_TRACE"),
              QStringLiteral("Init:Alpha;Clear:Alpha;Init:Beta;Clear:Beta;Init:Solo;Clear:Solo;"));

    // The broken files are logged and listed with their reasons; the scan went on.
    ASSERT_EQ(scan.rejected.size(), 3);
    EXPECT_TRUE(scan.rejected.at(0).path.endsWith(QLatin1String("b_broken.so")));
    EXPECT_EQ(scan.rejected.at(0).reason, QStringLiteral("不是共享库"));
    EXPECT_TRUE(scan.rejected.at(1).path.endsWith(QLatin1String("c_truncated.so")));
    EXPECT_TRUE(scan.rejected.at(1).reason.startsWith(QStringLiteral("库文件已损坏"))) << scan.rejected.at(1).reason.toStdString();
    EXPECT_EQ(scan.rejected.at(2).reason, QStringLiteral("没有实现“_IExtPluginUI”的类"));
    QStringList logged;
    for (qsizetype i = before; i < t.log.entries.size(); ++i)
        logged << QString::number(t.log.entries.at(i).kind) + u':' + t.log.entries.at(i).message;
    ASSERT_EQ(logged.size(), 2) << logged.join(u'\n').toStdString();
    EXPECT_TRUE(logged.at(0).startsWith(QStringLiteral("8:LoadPlugin不是共享库："))) << logged.at(0).toStdString();
    EXPECT_TRUE(logged.at(1).startsWith(QStringLiteral("8:LoadPlugin库文件已损坏"))) << logged.at(1).toStdString();
}

TEST(PluginScan, PluginWhoseClearFailsIsListedWithItsTextsAndLogged)
{
    PluginTestSession t;
    t.open();
    t.drop(programPath("TP_TWO_PATH"), QStringLiteral("a_two.so"));
    t.drop(programPath("TP_ONE_PATH"), QStringLiteral("b_one.so"));
    qputenv("TP_CLEAR_FAIL", "Alpha");
    const jx::PluginScan scan = jx::LoadPlugin(t.session.AppContext(), t.installation.folder());
    qunsetenv("TP_CLEAR_FAIL");
    // The failure ends its library's scan after the row; the next library is scanned.
    EXPECT_EQ(names(scan), (QStringList{QStringLiteral("tpTwo.Alpha=工具Alpha/作者Alpha/0"),
                                        QStringLiteral("tpOne.Solo=工具Solo/作者Solo/0")}));
    EXPECT_EQ(scan.rows.at(0).description, QStringLiteral("Alpha的说明"));
    EXPECT_TRUE(scan.rejected.isEmpty());
    EXPECT_EQ(t.entriesOfKind(8), QStringList{QStringLiteral("LoadPlugin清理失败")});
}

TEST(PluginScan, PluginWhoseInitFailsSkipsItsLibraryOnly)
{
    PluginTestSession t;
    t.open();
    t.drop(programPath("TP_TWO_PATH"), QStringLiteral("a_two.so"));
    t.drop(programPath("TP_ONE_PATH"), QStringLiteral("b_one.so"));
    qputenv("TP_INIT_FAIL", "Alpha");
    const jx::PluginScan scan = jx::LoadPlugin(t.session.AppContext(), t.installation.folder());
    qunsetenv("TP_INIT_FAIL");
    EXPECT_EQ(names(scan), QStringList{QStringLiteral("tpOne.Solo=工具Solo/作者Solo/0")});
    ASSERT_EQ(t.entriesOfKind(8).size(), 1);
    EXPECT_EQ(t.entriesOfKind(8).at(0), QStringLiteral("LoadPlugin初始化失败"));
    ASSERT_EQ(scan.rejected.size(), 1);
    EXPECT_EQ(scan.rejected.at(0).reason, QStringLiteral("初始化失败"));

    // A plug-in that throws through its vtable is handled the same way.
    qputenv("TP_INIT_THROW", "Solo");
    const jx::PluginScan again = jx::LoadPlugin(t.session.AppContext(), t.installation.folder());
    qunsetenv("TP_INIT_THROW");
    EXPECT_EQ(names(again), (QStringList{QStringLiteral("tpTwo.Alpha=工具Alpha/作者Alpha/0"),
                                         QStringLiteral("tpTwo.Beta=工具Beta/作者Beta/0")}));
    ASSERT_EQ(t.entriesOfKind(8).size(), 2);
    EXPECT_EQ(t.entriesOfKind(8).at(1), QStringLiteral("LoadPlugin") + com::errorText(com::errors::AutomationError));
}

TEST(PluginScan, EmptyFolderGivesNoRowsAndNoLogEntry)
{
    PluginTestSession t;
    t.open();
    const qsizetype before = t.log.entries.size();
    const jx::PluginScan scan = jx::LoadPlugin(t.session.AppContext(), t.installation.folder());
    EXPECT_TRUE(scan.rows.isEmpty());
    EXPECT_TRUE(scan.rejected.isEmpty());
    EXPECT_EQ(t.log.entries.size(), before);
}

TEST(PluginScan, RegisteredClassIsCreatedThroughItsRegistration)
{
    PluginTestSession t;
    t.open();
    PluginTestSession::registerLibrary(programPath("TP_ONE_PATH"));
    const QString copy = t.drop(programPath("TP_ONE_PATH"), QStringLiteral("registered_copy.so"));

    const jx::PluginScan scan = jx::LoadPlugin(t.session.AppContext(), t.installation.folder());

    EXPECT_EQ(names(scan), QStringList{QStringLiteral("tpOne.Solo=工具Solo/作者Solo/1")});
    EXPECT_EQ(scan.rows.at(0).descriptor.path, copy);
    // The object came from the registered file; the copy was never loaded.
    EXPECT_FALSE(com::InprocServer::isLoaded(copy));
    EXPECT_TRUE(com::InprocServer::isLoaded(programPath("TP_ONE_PATH")));
}

TEST(CreateObjectFromFile, LoadsALibraryOncePerPathAndReadingItsClassesRunsNothing)
{
    PluginTestSession t;
    const QString copy = t.drop(programPath("TP_TWO_PATH"), QStringLiteral("fresh_two.so"));
    const int before = loads("TP_TWO_LOADS");

    const auto classes = jx::GetCoClasses(copy);
    ASSERT_TRUE(classes) << classes.error().toStdString();
    const QList<jx::CoClass> &table = *classes;
    ASSERT_EQ(table.size(), 3);
    EXPECT_EQ(table.at(2).name, QStringLiteral("Gamma"));
    EXPECT_EQ(table.at(2).clsid, com::guid("{0E1D2C3B-1003-4A5B-8C9D-0E1F2A3B4C50}"));
    EXPECT_EQ(loads("TP_TWO_LOADS"), before); // no code of the library ran

    const com::ComPtr<IUnknown> first = jx::CreateObjectFromFile(copy, QStringLiteral("alpha")).valueOr({});
    const com::ComPtr<IUnknown> second = jx::CreateObjectFromFile(copy, QStringLiteral("Beta")).valueOr({});
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(loads("TP_TWO_LOADS"), before + 1);

    const auto delta = jx::CreateObjectFromFile(copy, QStringLiteral("Delta"));
    EXPECT_FALSE(delta);
    EXPECT_EQ(delta.error(), QStringLiteral("库中没有类 Delta"));
    t.dropText(QStringLiteral("text.so"), "plain text");
    const auto text = jx::GetCoClasses(t.installation.path(QStringLiteral("Plugin/text.so")));
    EXPECT_FALSE(text);
    EXPECT_EQ(text.error(), QStringLiteral("不是共享库"));
}
