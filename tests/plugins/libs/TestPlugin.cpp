// Plug-in libraries the tests build and drop into a Plugin folder. Every call
// is appended to the environment variable TP_TRACE ("Init:Alpha;" ...; an added
// parameter as "Param:name=type:value", the type its automation type number),
// and TP_CONFIG_ERROR / TP_INIT_FAIL / TP_INIT_THROW / TP_CLEAR_FAIL make
// Configure record an error, Init fail, Init throw, or Clear fail.

#include "extplugin/IExtPluginUI.h"
#include "platform/com/Bstr.h"
#include "platform/com/Dispatchable.h"
#include "platform/com/ServerModule.h"

#include <cstdlib>

#if defined(TP_TWO)
QV_TYPE_LIBRARY("library tpTwo 1.0 {0E1D2C3B-1000-4A5B-8C9D-0E1F2A3B4C50}\n"
                "coclass Alpha {0E1D2C3B-1001-4A5B-8C9D-0E1F2A3B4C50}\n"
                "  implements _IExtPluginUI " QV_IID_IEXTPLUGINUI "\n"
                "coclass Beta {0E1D2C3B-1002-4A5B-8C9D-0E1F2A3B4C50}\n"
                "  implements _IExtPluginUI " QV_IID_IEXTPLUGINUI "\n"
                "coclass Gamma {0E1D2C3B-1003-4A5B-8C9D-0E1F2A3B4C50}\n"
                "  implements _iextpluginui " QV_IID_IEXTPLUGINUI "\n");
#define TP_LOADS "TP_TWO_LOADS"
#else
QV_TYPE_LIBRARY("library tpOne 1.0 {0E1D2C3B-2000-4A5B-8C9D-0E1F2A3B4C50}\n"
                "coclass Solo {0E1D2C3B-2001-4A5B-8C9D-0E1F2A3B4C50}\n"
                "  implements _IExtPluginUI " QV_IID_IEXTPLUGINUI "\n");
#define TP_LOADS "TP_ONE_LOADS"
#endif

namespace {

// Counts how often this library was brought into the process.
__attribute__((constructor)) void countLoad()
{
    const char *before = std::getenv(TP_LOADS);
    setenv(TP_LOADS, std::to_string((before ? std::atoi(before) : 0) + 1).c_str(), 1);
}

void trace(const QString &what)
{
    const QByteArray before = qgetenv("TP_TRACE");
    qputenv("TP_TRACE", before + what.toUtf8() + ';');
}

HRESULT give(const QString &text, BSTR *result)
{
    if (!result)
        return E_POINTER;
    *result = com::toBstr(text);
    return S_OK;
}

class Holder final : public com::Dispatchable<Holder>
{
public:
    static const com::MemberTable<Holder> &members()
    {
        static const com::MemberTable<Holder> table = com::MemberTable<Holder>()
            .add(QStringLiteral("Description"),
                 [](Holder &self, const com::DispArgs &) { return com::Variant::fromString(self.m_description); })
            // As the parameter collection: Add(name, text, value).
            .add(QStringLiteral("Add"), [](Holder &, const com::DispArgs &a) {
                if (a.size() == 3) {
                    const VARIANT &value = com::deref(*a[2]);
                    trace(QStringLiteral("Param:%1=%2:%3")
                              .arg(com::toQVariant(*a[0]).toString())
                              .arg(value.vt)
                              .arg(com::toQVariant(value).toString()));
                }
                return com::Variant();
            });
        return table;
    }

    explicit Holder(const QString &description) : m_description(description) {}

private:
    QString m_description;
};

template<int N>
class TestPlugin final : public com::Dispatchable<TestPlugin<N>, IExtPluginUI>
{
public:
    static constexpr IID kInterfaceIid = IID_IExtPluginUI;
    static QString name()
    {
#if defined(TP_TWO)
        return N == 0 ? QStringLiteral("Alpha") : N == 1 ? QStringLiteral("Beta") : QStringLiteral("Gamma");
#else
        return QStringLiteral("Solo");
#endif
    }

    HRESULT Init(IDispatch **, VARIANT_BOOL *result) override
    {
        trace(QStringLiteral("Init:") + name());
        if (qgetenv("TP_INIT_THROW") == name().toUtf8())
            throw 42; // not even a std::exception
        if (qgetenv("TP_INIT_FAIL") == name().toUtf8())
            return com::reportError(com::RuntimeError(5, name(), QStringLiteral("初始化失败")));
        *result = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT Clear(VARIANT_BOOL *result) override
    {
        trace(QStringLiteral("Clear:") + name());
        if (qgetenv("TP_CLEAR_FAIL") == name().toUtf8())
            return com::reportError(com::RuntimeError(5, name(), QStringLiteral("清理失败")));
        *result = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT Configure(VARIANT_BOOL *result) override
    {
        trace(QStringLiteral("Configure:") + name());
        const QString error = qEnvironmentVariable("TP_CONFIG_ERROR");
        if (error == QLatin1String("raise"))
            return com::reportError(com::RuntimeError(5, name(), QStringLiteral("配置窗口打不开")));
        m_error = error;
        *result = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT get_Parameters(IDispatch **result) override
    {
        *result = new Holder(QString());
        return S_OK;
    }
    HRESULT Action(BSTR *, VARIANT_BOOL *result) override
    {
        trace(QStringLiteral("Action:") + name());
        *result = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT Help(VARIANT_BOOL *result) override
    {
        *result = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT get_Error(IDispatch **result) override
    {
        *result = m_error.isNull() ? nullptr : new Holder(m_error);
        return S_OK;
    }
    HRESULT get_Description(BSTR *result) override { return give(name() + QStringLiteral("的说明"), result); }
    HRESULT get_FriendlyName(BSTR *result) override { return give(QStringLiteral("工具") + name(), result); }
    HRESULT get_Author(BSTR *result) override { return give(QStringLiteral("作者") + name(), result); }

private:
    QString m_error;
};

#if defined(TP_TWO)
const com::ServedClass kServedClasses[] = {
    com::servedClass<TestPlugin<0>>(com::guid("{0E1D2C3B-1001-4A5B-8C9D-0E1F2A3B4C50}")),
    com::servedClass<TestPlugin<1>>(com::guid("{0E1D2C3B-1002-4A5B-8C9D-0E1F2A3B4C50}")),
    com::servedClass<TestPlugin<2>>(com::guid("{0E1D2C3B-1003-4A5B-8C9D-0E1F2A3B4C50}")),
};
#else
const com::ServedClass kServedClasses[] = {
    com::servedClass<TestPlugin<0>>(com::guid("{0E1D2C3B-2001-4A5B-8C9D-0E1F2A3B4C50}")),
};
#endif

} // namespace

QV_SERVER_ENTRY_POINTS(kServedClasses)
