#include "extplugin/IExtPluginUI.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/Dispatchable.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include "ProgramPaths.h"

namespace {

const QString kLibrary = programPath("JXTOOL_PATH");

class Environment final : public com::Dispatchable<Environment>
{
public:
    static const com::MemberTable<Environment> &members()
    {
        static const com::MemberTable<Environment> table = com::MemberTable<Environment>().add(
            QStringLiteral("AppPath"), [](Environment &, const com::DispArgs &) { return com::Variant::fromString(QStringLiteral("/opt/jx")); });
        return table;
    }
};

class Context final : public com::Dispatchable<Context>
{
public:
    static const com::MemberTable<Context> &members()
    {
        static const com::MemberTable<Context> table = com::MemberTable<Context>().add(
            QStringLiteral("Environment"), [](Context &self, const com::DispArgs &) { return com::Variant::fromDispatch(self.m_env.get()); });
        return table;
    }
    com::ComPtr<IDispatch> m_env = com::ComPtr<IDispatch>::adopt(new Environment());
};

com::ComPtr<IExtPluginUI> createFromFile()
{
    const auto lib = com::TypeLibrary::loadFromFile(kLibrary);
    if (!lib)
        return {};
    const auto coclass = lib->findCoclass(QStringLiteral("calcTool"));
    if (!coclass)
        return {};
    com::ComPtr<IClassFactory> factory;
    if (FAILED(com::InprocServer::getClassObject(kLibrary, coclass->guid, IID_IClassFactory, factory.putVoid())))
        return {};
    com::ComPtr<IExtPluginUI> plugin;
    factory->CreateInstance(nullptr, IID_IExtPluginUI, plugin.putVoid());
    return plugin;
}

QString text(IExtPluginUI *plugin, HRESULT (IExtPluginUI::*member)(BSTR *))
{
    BSTR b = nullptr;
    EXPECT_EQ((plugin->*member)(&b), S_OK);
    const QString s = com::fromBstr(b);
    SysFreeString(b);
    return s;
}

void addParameter(IExtPluginUI *plugin, const QString &name, const QString &value)
{
    com::ComPtr<IDispatch> params;
    ASSERT_EQ(plugin->get_Parameters(params.put()), S_OK);
    com::call(params.get(), QStringLiteral("Add"),
              {com::Variant::fromString(name), com::Variant::fromString(QString()), com::Variant::fromString(value)});
}

// Closes every modal window that opens while `body` runs and reports the
// first one (a window may first show a message of its own, e.g. no rate file).
struct Opened
{
    QString className;
    QString messageText;
    QStringList all;
};

template<typename F>
Opened closingModals(F body)
{
    Opened seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        const QString name = QString::fromLatin1(modal->metaObject()->className());
        if (seen.all.isEmpty()) {
            seen.className = name;
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                seen.messageText = box->text();
        }
        seen.all.append(name);
        modal->close();
    });
    timer.start(20);
    body();
    return seen;
}

Opened runAction(IExtPluginUI *plugin)
{
    return closingModals([&] {
        VARIANT_BOOL done = VARIANT_FALSE;
        BSTR empty = nullptr;
        EXPECT_EQ(plugin->Action(&empty, &done), S_OK);
        EXPECT_EQ(done, VARIANT_TRUE);
    });
}

} // namespace

TEST(CalcToolPlugin, NamesComeFromTheTrimmedCaptionOrDefaults)
{
    com::ComPtr<IExtPluginUI> plugin = createFromFile();
    ASSERT_TRUE(plugin);
    EXPECT_EQ(text(plugin.get(), &IExtPluginUI::get_FriendlyName), QStringLiteral("帐套启用"));
    EXPECT_EQ(text(plugin.get(), &IExtPluginUI::get_Description), QStringLiteral("帐套启用，必须在开帐之前"));
    EXPECT_EQ(text(plugin.get(), &IExtPluginUI::get_Author), QStringLiteral("朗石软件"));

    addParameter(plugin.get(), QStringLiteral("Caption"), QStringLiteral("  贷款计算 "));
    EXPECT_EQ(text(plugin.get(), &IExtPluginUI::get_FriendlyName), QStringLiteral("贷款计算"));
    EXPECT_EQ(text(plugin.get(), &IExtPluginUI::get_Description), QStringLiteral("贷款计算"));
}

TEST(CalcToolPlugin, InitKeepsContextAndOtherMembersAnswerFalse)
{
    com::ComPtr<IExtPluginUI> plugin = createFromFile();
    ASSERT_TRUE(plugin);
    IDispatch *context = new Context();
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_EQ(plugin->Init(&context, &result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE);
    EXPECT_EQ(plugin->Configure(&result), S_OK);
    EXPECT_EQ(result, VARIANT_FALSE);
    EXPECT_EQ(plugin->Help(&result), S_OK);
    EXPECT_EQ(result, VARIANT_FALSE);
    IDispatch *error = reinterpret_cast<IDispatch *>(1);
    EXPECT_EQ(plugin->get_Error(&error), S_OK);
    EXPECT_EQ(error, nullptr);
    EXPECT_EQ(plugin->Clear(&result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE);
    // The plug-in dropped its reference at Clear: ours is the last one.
    EXPECT_EQ(context->Release(), 0u);

    // A missing context is an error the caller sees, not a crash.
    IDispatch *none = nullptr;
    EXPECT_TRUE(FAILED(plugin->Init(&none, &result)));
}

TEST(CalcToolPlugin, CommandLineChoosesTheWindowAfterLowerCasingOnly)
{
    com::ComPtr<IExtPluginUI> plugin = createFromFile();
    ASSERT_TRUE(plugin);
    addParameter(plugin.get(), QStringLiteral("CommandLine"), QStringLiteral("FRMGFZC"));
    EXPECT_TRUE(runAction(plugin.get()).all.contains(QStringLiteral("frmGfzc")));

    addParameter(plugin.get(), QStringLiteral("CommandLine"), QStringLiteral("frmShuifei"));
    EXPECT_TRUE(runAction(plugin.get()).all.contains(QStringLiteral("frmShuifei")));

    addParameter(plugin.get(), QStringLiteral("CommandLine"), QStringLiteral(" frmGfzc"));
    const Opened box = runAction(plugin.get());
    EXPECT_EQ(box.className, QStringLiteral("QMessageBox"));
    EXPECT_EQ(box.messageText, QStringLiteral(" frmGfzc"));
}

TEST(CalcToolPlugin, EmptyCommandLineShowsAnEmptyMessage)
{
    com::ComPtr<IExtPluginUI> plugin = createFromFile();
    ASSERT_TRUE(plugin);
    const Opened box = runAction(plugin.get());
    EXPECT_EQ(box.className, QStringLiteral("QMessageBox"));
    EXPECT_EQ(box.messageText, QString());
}

TEST(CalcToolPlugin, LateBoundActionSetsTheCommandLine)
{
    com::ComPtr<IExtPluginUI> plugin = createFromFile();
    ASSERT_TRUE(plugin);
    com::Variant ok;
    const Opened seen = closingModals([&] {
        ok = com::call(plugin.get(), QStringLiteral("Action"), {com::Variant::fromString(QStringLiteral("frmgfzc"))});
    });
    EXPECT_EQ(ok.boolVal, VARIANT_TRUE);
    EXPECT_TRUE(seen.all.contains(QStringLiteral("frmGfzc")));
}

TEST(CalcToolPlugin, PluginHostCreatesFromFileAndByProgIdAfterRegistration)
{
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("JX_REGISTRY_FILE"), dir.filePath(QStringLiteral("registry.json")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    auto run = [&](const QStringList &args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(programPath("PLUGIN_HOST"), args);
        p.waitForFinished(30000);
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()));
    };
    const auto fromFile = run({QStringLiteral("--file"), kLibrary, QStringLiteral("--class"), QStringLiteral("calcTool"),
                               QStringLiteral("--param"), QStringLiteral("Caption=税费计算")});
    EXPECT_EQ(fromFile.first, 0);
    EXPECT_EQ(fromFile.second, QStringLiteral("税费计算\n朗石软件\n税费计算\n"));

    EXPECT_NE(run({QStringLiteral("--progid"), QStringLiteral("jxTools.calcTool")}).first, 0);
    com::RegistryStore::setFilePath(dir.filePath(QStringLiteral("registry.json")));
    ASSERT_EQ(com::InprocServer::callRegistration(kLibrary, true), S_OK);
    com::RegistryStore::setFilePath(QString());
    const auto byProgId = run({QStringLiteral("--progid"), QStringLiteral("jxTools.calcTool")});
    EXPECT_EQ(byProgId.first, 0);
    EXPECT_EQ(byProgId.second, QStringLiteral("帐套启用\n朗石软件\n帐套启用，必须在开帐之前\n"));
}
