#include "calctools/calcTool.h"

#include "calctools/btool.h"
#include "calctools/frmGfzc.h"
#include "calctools/frmShuifei.h"
#include "extplugin/PluginAnswers.h"
#include "extplugin/PluginParameters.h"
#include "platform/MessageBox.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/LateBound.h"
#include "platform/Numeric.h"

#include <memory>

using extplugin::answer;

calcTool::calcTool()
{
    // The collection comes from the plug-in interface library, by class id.
    if (FAILED(com::createInstance(CLSID_PluginParameters, IID_IDispatch, m_parameters.putVoid())))
        m_parameters = extplugin::createPluginParameters();
}

namespace {

// A text the plug-in interface gives as a BSTR, as a late-bound value.
com::Variant textOf(HRESULT (calcTool::*getter)(BSTR *), calcTool &tool)
{
    BSTR b = nullptr;
    com::throwIfFailed((tool.*getter)(&b));
    com::Variant v = com::Variant::fromString(com::fromBstr(b));
    SysFreeString(b);
    return v;
}

} // namespace

// Late-bound members: `_calcTool.Action` and the plug-in members by name.
const com::MemberTable<calcTool> &calcTool::members()
{
    static const com::MemberTable<calcTool> table = com::MemberTable<calcTool>()
        .add(QStringLiteral("Action"), [](calcTool &self, const com::DispArgs &a) {
            const QString line = a.empty() ? QString() : com::toQVariant(*a[0]).toString();
            return com::Variant::fromBool(self.actionWithCommandLine(line));
        })
        .add(QStringLiteral("Parameters"),
             [](calcTool &self, const com::DispArgs &) { return com::Variant::fromDispatch(self.m_parameters.get()); })
        .add(QStringLiteral("FriendlyName"),
             [](calcTool &self, const com::DispArgs &) { return textOf(&calcTool::get_FriendlyName, self); })
        .add(QStringLiteral("Description"),
             [](calcTool &self, const com::DispArgs &) { return textOf(&calcTool::get_Description, self); })
        .add(QStringLiteral("Author"),
             [](calcTool &, const com::DispArgs &) { return com::Variant::fromString(QStringLiteral("朗石软件")); });
    return table;
}

void *calcTool::queryExtra(REFIID iid)
{
    return iid == IID__calcTool ? static_cast<jxTools::_calcTool *>(&m_face) : nullptr;
}

// The face shares the object's identity, reference count and late-bound members.
HRESULT calcTool::CalcToolFace::QueryInterface(REFIID riid, void **ppv)
{
    return m_outer.QueryInterface(riid, ppv);
}

ULONG calcTool::CalcToolFace::AddRef()
{
    return m_outer.AddRef();
}

ULONG calcTool::CalcToolFace::Release()
{
    return m_outer.Release();
}

HRESULT calcTool::CalcToolFace::GetTypeInfoCount(uint32_t *pctinfo)
{
    return m_outer.GetTypeInfoCount(pctinfo);
}

HRESULT calcTool::CalcToolFace::GetTypeInfo(uint32_t iTInfo, LCID lcid, ITypeInfo **ppTInfo)
{
    return m_outer.GetTypeInfo(iTInfo, lcid, ppTInfo);
}

HRESULT calcTool::CalcToolFace::GetIDsOfNames(REFIID riid, OLECHAR **names, uint32_t count, LCID lcid, DISPID *ids)
{
    return m_outer.GetIDsOfNames(riid, names, count, lcid, ids);
}

HRESULT calcTool::CalcToolFace::Invoke(DISPID id, REFIID riid, LCID lcid, uint16_t flags, DISPPARAMS *params,
                                       VARIANT *result, EXCEPINFO *excep, uint32_t *argErr)
{
    return m_outer.Invoke(id, riid, lcid, flags, params, result, excep, argErr);
}

HRESULT calcTool::CalcToolFace::Action(BSTR *sCommandLine, VARIANT_BOOL *result)
{
    return com::guarded([&] {
        const QString line = sCommandLine ? com::fromBstr(*sCommandLine) : QString();
        return answer(result, m_outer.actionWithCommandLine(line));
    });
}

QString calcTool::parameterText(const QString &name) const
{
    const com::Variant item = com::call(m_parameters.get(), QStringLiteral("Item"), {com::Variant::fromString(name)});
    // A value of any type reads as the product reads values into text.
    return jx::toText(com::toQVariant(com::get(com::objectOf(item).get(), QStringLiteral("Value"))));
}

QString calcTool::captionText() const
{
    return jx::trimBlanks(parameterText(QStringLiteral("Caption")));
}

HRESULT calcTool::Init(IDispatch **pcSystem, VARIANT_BOOL *result)
{
    return com::guarded([&] {
        if (!pcSystem || !*pcSystem)
            throw com::RuntimeError::of(com::errors::ObjectRequired, QStringLiteral("jxTools"));
        m_system = com::ComPtr<IDispatch>(*pcSystem);
        btool::ProgramFolder() = com::toQVariant(com::getPath(m_system.get(), QStringLiteral("Environment.AppPath"))).toString();
        return answer(result, true);
    });
}

HRESULT calcTool::Clear(VARIANT_BOOL *result)
{
    m_system.reset();
    return answer(result, true);
}

HRESULT calcTool::Configure(VARIANT_BOOL *result)
{
    return answer(result, false);
}

HRESULT calcTool::get_Parameters(IDispatch **result)
{
    return answer(result, m_parameters.get());
}

HRESULT calcTool::Action(BSTR *, VARIANT_BOOL *result)
{
    return com::guarded([&] { return answer(result, runTool()); });
}

bool calcTool::runTool()
{
    const QString line = parameterText(QStringLiteral("CommandLine"));
    std::unique_ptr<QDialog> window;
    // Exact after lower-casing: no trimming, no other forms.
    if (line.toLower() == QLatin1String("frmshuifei"))
        window = std::make_unique<frmShuifei>();
    else if (line.toLower() == QLatin1String("frmgfzc"))
        window = std::make_unique<frmGfzc>();
    else
        jx::msgBox(line, jx::OKOnly);
    if (window)
        window->exec();
    return true;
}

bool calcTool::actionWithCommandLine(const QString &commandLine)
{
    const com::Variant item = com::call(m_parameters.get(), QStringLiteral("Item"),
                                        {com::Variant::fromString(QStringLiteral("CommandLine"))});
    com::put(com::objectOf(item).get(), QStringLiteral("Value"), com::Variant::fromString(commandLine));
    // A name never added yields a detached entry: add it so the value sticks.
    if (parameterText(QStringLiteral("CommandLine")) != commandLine)
        com::call(m_parameters.get(), QStringLiteral("Add"),
                  {com::Variant::fromString(QStringLiteral("CommandLine")), com::Variant::fromString(QString()),
                   com::Variant::fromString(commandLine)});
    VARIANT_BOOL ok = VARIANT_FALSE;
    BSTR empty = nullptr;
    com::throwIfFailed(Action(&empty, &ok));
    return ok != VARIANT_FALSE;
}

HRESULT calcTool::Help(VARIANT_BOOL *result)
{
    return answer(result, false);
}

HRESULT calcTool::get_Error(IDispatch **result)
{
    return answer(result, nullptr);
}

HRESULT calcTool::get_Description(BSTR *result)
{
    return com::guarded([&] {
        const QString caption = captionText();
        return answer(result, caption.isEmpty() ? QStringLiteral("帐套启用，必须在开帐之前") : caption);
    });
}

HRESULT calcTool::get_FriendlyName(BSTR *result)
{
    return com::guarded([&] {
        const QString caption = captionText();
        return answer(result, caption.isEmpty() ? QStringLiteral("帐套启用") : caption);
    });
}

HRESULT calcTool::get_Author(BSTR *result)
{
    return answer(result, QStringLiteral("朗石软件"));
}
