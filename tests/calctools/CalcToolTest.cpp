#include "CalcTestSupport.h"

#include "calctools/calcTool.h"
#include "platform/com/Bstr.h"
#include "platform/ProgramInfo.h"
#include "platform/com/Guid.h"
#include "platform/com/LateBound.h"
#include "platform/com/TypeLibrary.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include "ProgramPaths.h"

namespace {

// Owns one plug-in object for a test.
struct Tool
{
    Tool() : object(new calcTool()) {}
    ~Tool() { EXPECT_EQ(object->Release(), 0u); }

    void add(const QString &name, const com::Variant &value)
    {
        com::ComPtr<IDispatch> params;
        ASSERT_EQ(object->get_Parameters(params.put()), S_OK);
        com::call(params.get(), QStringLiteral("Add"), {com::Variant::fromString(name), com::Variant::fromString(QString()), value});
    }

    QString text(HRESULT (IExtPluginUI::*member)(BSTR *))
    {
        BSTR b = nullptr;
        EXPECT_EQ((object->*member)(&b), S_OK);
        const QString s = com::fromBstr(b);
        SysFreeString(b);
        return s;
    }

    calcTool *object;
};

// Closes the first modal window that opens while `body` runs and names its class.
template<typename F>
QString closingModal(F body)
{
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    body();
    return opened;
}

} // namespace

class CalcToolEntry : public CalcFixture
{
};

TEST_F(CalcToolEntry, OwnInterfaceActionTakesTheCommandLineFromItsArgument)
{
    Tool tool;
    jxTools::_calcTool *face = nullptr;
    ASSERT_EQ(tool.object->QueryInterface(IID__calcTool, reinterpret_cast<void **>(&face)), S_OK);
    ASSERT_NE(face, nullptr);

    // Same object behind both interfaces.
    IUnknown *a = nullptr;
    IUnknown *b = nullptr;
    ASSERT_EQ(face->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&a)), S_OK);
    ASSERT_EQ(tool.object->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&b)), S_OK);
    EXPECT_EQ(a, b);
    a->Release();
    b->Release();

    // Early bound: the member after the dispatch entries is Action, not the plug-in's Init.
    BSTR line = com::toBstr(QStringLiteral("不认识的命令"));
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(face->Action(&line, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("不认识的命令"));
    EXPECT_EQ(messages[0].style, jx::OKOnly);
    EXPECT_EQ(messages[0].title, jx::ProgramInfo::title()); // no title of its own

    // The argument stays in the "CommandLine" parameter; the plug-in's Action ignores its own argument.
    BSTR other = com::toBstr(QStringLiteral("frmGfzc"));
    EXPECT_EQ(tool.object->Action(&other, &ok), S_OK);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, QStringLiteral("不认识的命令"));

    BSTR tax = com::toBstr(QStringLiteral("FrmShuiFei"));
    EXPECT_EQ(closingModal([&] { EXPECT_EQ(face->Action(&tax, &ok), S_OK); }), QStringLiteral("frmShuifei"));
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(messages.size(), 2u);

    SysFreeString(line);
    SysFreeString(other);
    SysFreeString(tax);
    face->Release();
}

TEST_F(CalcToolEntry, CaptionLosesOnlyItsBlanks)
{
    Tool tool;
    tool.add(QStringLiteral("Caption"), com::Variant::fromString(QStringLiteral("  \u3000房贷计算\t  ")));
    EXPECT_EQ(tool.text(&IExtPluginUI::get_FriendlyName), QStringLiteral("\u3000房贷计算\t"));
    EXPECT_EQ(tool.text(&IExtPluginUI::get_Description), QStringLiteral("\u3000房贷计算\t"));

    Tool blank;
    blank.add(QStringLiteral("Caption"), com::Variant::fromString(QStringLiteral("    ")));
    EXPECT_EQ(blank.text(&IExtPluginUI::get_FriendlyName), QStringLiteral("帐套启用"));
    EXPECT_EQ(blank.text(&IExtPluginUI::get_Description), QStringLiteral("帐套启用，必须在开帐之前"));

    // A value that is not text reads as the product turns values into text.
    Tool flag;
    flag.add(QStringLiteral("Caption"), com::Variant::fromBool(true));
    EXPECT_EQ(flag.text(&IExtPluginUI::get_FriendlyName), QStringLiteral("True"));
}

TEST_F(CalcToolEntry, ActionBeforeInitLooksForRatesBesideTheLibraryOnly)
{
    // No Init yet in this process state: the program folder is empty and the root is not searched.
    btool::ProgramFolder().clear();
    Tool tool;
    tool.add(QStringLiteral("CommandLine"), com::Variant::fromString(QStringLiteral("frmgfzc")));
    VARIANT_BOOL ok = VARIANT_FALSE;
    BSTR empty = nullptr;
    EXPECT_EQ(closingModal([&] { EXPECT_EQ(tool.object->Action(&empty, &ok), S_OK); }), QStringLiteral("frmGfzc"));
    EXPECT_EQ(ok, VARIANT_TRUE);
    // The test program has no rate file beside it.
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("未在运行目录里找到利率文件(interest.xml)"));
}

TEST(CalcToolLibrary, DescribesTheClassUnderBothInterfaces)
{
    const auto lib = com::TypeLibrary::loadFromFile(programPath("JXTOOL_PATH"));
    ASSERT_TRUE(lib) << lib.error().toStdString();
    EXPECT_EQ(lib->name, QStringLiteral("jxTools"));
    EXPECT_EQ(lib->majorVersion, 1);
    EXPECT_EQ(lib->minorVersion, 0);
    EXPECT_EQ(lib->libid, com::guid("{F1EAE2CE-9C84-48A4-A158-0698B93A1ED9}"));
    ASSERT_EQ(lib->coclasses().size(), 1);
    const auto coclass = lib->findCoclass(QStringLiteral("calcTool"));
    ASSERT_TRUE(coclass);
    EXPECT_EQ(coclass->name, QStringLiteral("calcTool"));
    ASSERT_EQ(coclass->implemented.size(), 2);
    // The default interface first; the plug-in interface under the exact name the console's scan compares.
    EXPECT_EQ(coclass->implemented[0].name, QStringLiteral("_calcTool"));
    EXPECT_EQ(coclass->implemented[0].iid, IID__calcTool);
    EXPECT_EQ(coclass->implemented[1].name, QStringLiteral("_IExtPluginUI"));
    EXPECT_EQ(coclass->implemented[1].iid, IID_IExtPluginUI);
}
