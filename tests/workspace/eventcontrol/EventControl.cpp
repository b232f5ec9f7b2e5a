// Stand-ins for the five function controls, served from a library of their
// own under the function controls' class names. What Py_Init does depends on
// the program number it is handed:
//   900  raises every event of the protocol while it runs, then succeeds
//   902  asks to be unloaded while it runs, then succeeds
//   903  fails
//   907  has no QueryClose, as a control written before it
//   930  hands back, through its by-reference context and configuration,
//        new objects made by the ProgIDs "JxTest.AppContext" / "JxTest.Config"
//   931  hands them back swapped (each an object of the other kind)
//   932  hands back nothing in both
//   any other number succeeds quietly.
// Each object keeps a journal of what it was handed (Args, Log). QueryClose
// answers CloseAnswer (True unless set; the text "raise" raises an error) and
// counts in QueryCloseCount; Clear counts in ClearCount; Raise(name, ...)
// raises any event, as the control does when its user acts.

#include "controls/ControlObject.h"
#include "platform/com/RefCounted.h"

#include "platform/com/ClassFactory.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"

#include <QLabel>

QV_TYPE_LIBRARY("library JxEdit 1.0 {6A1B2C30-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "interface _Func {6A1B2C31-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "coclass oedit {6A1B2C32-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "  implements _Func {6A1B2C31-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "coclass oReport {6A1B2C33-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "  implements _Func {6A1B2C31-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "coclass oeditrpt {6A1B2C34-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "  implements _Func {6A1B2C31-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "coclass oquery {6A1B2C35-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "  implements _Func {6A1B2C31-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "coclass oalert {6A1B2C36-4D5E-4F60-8A9B-0C1D2E3F4A50}\n"
                "  implements _Func {6A1B2C31-4D5E-4F60-8A9B-0C1D2E3F4A50}\n");

namespace {

// One argument as "type:value"; "*" marks a by-reference one.
QString describe(const VARIANT &arg)
{
    const bool byRef = (arg.vt & VT_BYREF) != 0;
    const VARTYPE base = arg.vt & ~VT_BYREF;
    QString type;
    switch (base) {
    case VT_I2: type = QStringLiteral("I2"); break;
    case VT_I4: type = QStringLiteral("I4"); break;
    case VT_R8: type = QStringLiteral("R8"); break;
    case VT_BSTR: type = QStringLiteral("BSTR"); break;
    case VT_DISPATCH: type = QStringLiteral("OBJ"); break;
    case VT_BOOL: type = QStringLiteral("BOOL"); break;
    case VT_EMPTY: type = QStringLiteral("EMPTY"); break;
    default: type = QString::number(base); break;
    }
    if (byRef)
        type += u'*';
    if (base == VT_DISPATCH) {
        IDispatch *object = byRef ? (arg.ppdispVal ? *arg.ppdispVal : nullptr) : arg.pdispVal;
        return type + (object ? QStringLiteral(":obj") : QStringLiteral(":nothing"));
    }
    return type + u':' + com::toQVariant(arg).toString();
}

class FunctionProbe final : public qvcontrols::ControlObject
{
public:
    explicit FunctionProbe(const QString &className)
    {
        setWidget(new QLabel(className));
        m_log << className;
        members().add(QStringLiteral("Py_Init"), [this](const com::DispArgs &a) {
            QStringList args;
            for (VARIANT *arg : a)
                args << describe(*arg);
            m_args = args.join(u'|');
            const int32_t number = a.size() > 2 ? com::toQVariant(*a[2]).toInt() : -1;
            m_log << QStringLiteral("init %1").arg(number);
            if (number == 900)
                raiseAll();
            if (number == 902)
                raiseEvent(QStringLiteral("unload"), {com::Variant::fromBool(true)});
            if (number >= 930 && number <= 932 && a.size() > 1)
                handBack(number, *a[0], *a[1]);
            if (number != 907)
                addQueryClose();
            m_log << QStringLiteral("init-end");
            return com::Variant::fromBool(number != 903);
        });
        members().add(QStringLiteral("Clear"), [this](const com::DispArgs &) {
            m_log << QStringLiteral("clear");
            ++m_clears;
            return com::Variant();
        });
        members().add(QStringLiteral("ClearCount"), [this](const com::DispArgs &) { return com::Variant::fromInt32(m_clears); });
        members().add(QStringLiteral("QueryCloseCount"),
                      [this](const com::DispArgs &) { return com::Variant::fromInt32(m_queries); });
        members().add(
            QStringLiteral("CloseAnswer"), [this](const com::DispArgs &) { return com::Variant::copyOf(m_closeAnswer); },
            [this](const com::DispArgs &, const VARIANT &value) { m_closeAnswer = com::Variant::copyOf(com::deref(value)); });
        members().add(QStringLiteral("Raise"), [this](const com::DispArgs &a) {
            std::vector<com::Variant> params;
            for (size_t i = 1; i < a.size(); ++i)
                params.push_back(com::Variant::copyOf(com::deref(*a[i])));
            raiseEvent(a.empty() ? QString() : com::toQVariant(*a[0]).toString(), std::move(params));
            return com::Variant();
        });
        members().add(QStringLiteral("Args"), [this](const com::DispArgs &) { return com::Variant::fromString(m_args); });
        members().add(QStringLiteral("Log"), [this](const com::DispArgs &) {
            return com::Variant::fromString(m_log.join(u','));
        });
        members().add(
            QStringLiteral("sParameters"),
            [this](const com::DispArgs &) { return com::Variant::fromDispatch(m_parameters.get()); },
            [this](const com::DispArgs &, const VARIANT &value) {
                m_parameters = com::ComPtr<IDispatch>(com::asDispatch(value));
                const com::Variant id = com::getPath(m_parameters.get(), QStringLiteral("Count"));
                m_log << QStringLiteral("sParameters %1 %2")
                             .arg(com::toQVariant(id).toInt())
                             .arg(com::toQVariant(com::call(com::objectOf(com::call(m_parameters.get(), QStringLiteral("Item"), {com::Variant::fromString(QStringLiteral("sID"))})).get(), QStringLiteral("Value"))).toString());
            });
    }

private:
    // Replaces what the host's variables hold, as a control may.
    static void handBack(int32_t number, VARIANT &context, VARIANT &configuration)
    {
        if (context.vt != (VT_DISPATCH | VT_BYREF) || configuration.vt != (VT_DISPATCH | VT_BYREF))
            return;
        IDispatch *given[2] = {*context.ppdispVal, *configuration.ppdispVal};
        IDispatch *back[2] = {nullptr, nullptr};
        if (number == 930) {
            back[0] = com::createObject(QStringLiteral("JxTest.AppContext")).detach();
            back[1] = com::createObject(QStringLiteral("JxTest.Config")).detach();
        } else if (number == 931) {
            back[0] = given[1];
            back[1] = given[0];
            for (IDispatch *object : back)
                if (object)
                    object->AddRef();
        }
        *context.ppdispVal = back[0];
        *configuration.ppdispVal = back[1];
        for (IDispatch *object : given)
            if (object)
                object->Release();
    }

    void addQueryClose()
    {
        members().add(QStringLiteral("QueryClose"), [this](const com::DispArgs &) {
            ++m_queries;
            if (com::toQVariant(m_closeAnswer).toString() == u"raise")
                throw com::RuntimeError(5, QStringLiteral("JxEdit"), QStringLiteral("询问出错"));
            return com::Variant::copyOf(m_closeAnswer);
        });
    }

    void raiseAll()
    {
        using com::Variant;
        raiseEvent(QStringLiteral("message"), {Variant::fromString(QStringLiteral("正在启动"))});
        raiseEvent(QStringLiteral("errmessage"), {Variant::fromString(QStringLiteral("坏了")), Variant::fromString(QStringLiteral("8")),
                                                  Variant::fromString(QString())});
        raiseEvent(QStringLiteral("unload"), {Variant::fromBool(false)});
        raiseEvent(QStringLiteral("detaile"), {Variant::fromInt32(901), Variant::fromString(QStringLiteral("42"))});
        raiseEvent(QStringLiteral("DETAILES"), {Variant::fromInt32(901), Variant::fromString(QStringLiteral("K1"))});
        raiseEvent(QStringLiteral("detailerpt"), {Variant::fromInt32(905), Variant::fromDispatch(this)});
        raiseEvent(QStringLiteral("filenew"), {Variant::fromInt32(901)});
        raiseEvent(QStringLiteral("fileedit"), {Variant::fromString(QStringLiteral("901")), Variant::fromString(QStringLiteral("7"))});
        raiseEvent(QStringLiteral("somethingelse"), {Variant::fromInt32(1)});
        raiseEvent(QStringLiteral("Message"), {Variant::fromString(QString())});
    }

    QStringList m_log;
    QString m_args;
    com::Variant m_closeAnswer = com::Variant::fromBool(true);
    int m_clears = 0;
    int m_queries = 0;
    com::ComPtr<IDispatch> m_parameters;
};

struct Served
{
    const char *clsid;
    const char *name;
};
constexpr Served kServed[] = {
    {"{6A1B2C32-4D5E-4F60-8A9B-0C1D2E3F4A50}", "JxEdit.oedit"},
    {"{6A1B2C33-4D5E-4F60-8A9B-0C1D2E3F4A50}", "JxEdit.oReport"},
    {"{6A1B2C34-4D5E-4F60-8A9B-0C1D2E3F4A50}", "JxEdit.oeditrpt"},
    {"{6A1B2C35-4D5E-4F60-8A9B-0C1D2E3F4A50}", "JxEdit.oquery"},
    {"{6A1B2C36-4D5E-4F60-8A9B-0C1D2E3F4A50}", "JxEdit.oalert"},
};

class ProbeFactory final : public IClassFactory, public com::RefCounted<ProbeFactory>
{
public:
    explicit ProbeFactory(QString name) : m_name(std::move(name)) {}
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory *>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return addReference(); }
    ULONG Release() override { return releaseReference(); }
    HRESULT CreateInstance(IUnknown *outer, REFIID iid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto *object = new FunctionProbe(m_name);
        const HRESULT hr = object->QueryInterface(iid, ppv);
        object->Release();
        return hr;
    }
    HRESULT LockServer(int32_t) override { return S_OK; }

private:
    QString m_name;
};

com::TypeLibrary ownLibrary()
{
    return *com::TypeLibrary::parse(QString::fromUtf8(qvTypeLibrary));
}

} // namespace

QV_SERVER_EXPORT HRESULT DllGetClassObject(const CLSID &clsid, const IID &iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (const Served &served : kServed) {
        if (clsid == com::guid(served.clsid)) {
            auto *factory = new ProbeFactory(QString::fromLatin1(served.name));
            const HRESULT hr = factory->QueryInterface(iid, ppv);
            factory->Release();
            return hr;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

QV_SERVER_EXPORT HRESULT DllCanUnloadNow()
{
    return S_FALSE;
}

QV_SERVER_EXPORT HRESULT DllRegisterServer()
{
    return com::InprocServer::registerLibrary(ownLibrary(), com::InprocServer::modulePathOf(reinterpret_cast<void *>(&ownLibrary)))
        ? S_OK
        : SELFREG_E_CLASS;
}

QV_SERVER_EXPORT HRESULT DllUnregisterServer()
{
    return com::InprocServer::unregisterLibrary(ownLibrary()) ? S_OK : SELFREG_E_CLASS;
}
