#include "platform/com/ErrorInfo.h"

#include "platform/com/Bstr.h"

namespace com {

namespace {
thread_local ErrorRecord t_record;
}

void setErrorInfo(const ErrorRecord &record)
{
    t_record = record;
}

void clearErrorInfo()
{
    t_record = ErrorRecord();
}

ErrorRecord takeErrorInfo()
{
    ErrorRecord r = std::move(t_record);
    t_record = ErrorRecord();
    return r;
}

HRESULT hresultFromErrorNumber(int32_t number)
{
    if (number > 0 && number <= 0xFFFF)
        return static_cast<HRESULT>(static_cast<uint32_t>(CTL_E_FACILITY_BASE) | static_cast<uint32_t>(number));
    return E_FAIL;
}

int32_t errorNumberFromHresult(HRESULT hr)
{
    const uint32_t u = static_cast<uint32_t>(hr);
    if ((u & 0xFFFF0000u) == static_cast<uint32_t>(CTL_E_FACILITY_BASE))
        return static_cast<int32_t>(u & 0xFFFFu);
    return hr;
}

QString describeHresult(HRESULT hr)
{
    switch (hr) {
    case E_NOINTERFACE:
        return errorText(errors::NoAutomationInterface);
    case E_POINTER:
        return errorText(errors::ObjectVariableNotSet);
    case E_OUTOFMEMORY:
        return errorText(7);
    case E_INVALIDARG:
        return errorText(errors::InvalidProcedureCall);
    case REGDB_E_CLASSNOTREG:
    case CO_E_CLASSSTRING:
    case CLASS_E_CLASSNOTAVAILABLE:
        return errorText(errors::CannotCreateObject);
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
        return errorText(errors::MemberNotFound);
    case DISP_E_TYPEMISMATCH:
        return errorText(errors::TypeMismatch);
    case DISP_E_OVERFLOW:
        return errorText(errors::Overflow);
    case DISP_E_BADPARAMCOUNT:
        return errorText(errors::WrongArguments);
    case TYPE_E_CANTLOADLIBRARY:
        return QStringLiteral("加载类型库/DLL 时出错");
    default: {
        const int32_t number = errorNumberFromHresult(hr);
        const QString known = number != hr ? errorText(number) : QString();
        if (!known.isEmpty())
            return known;
        return errorText(errors::AutomationError) + QStringLiteral(" %1").arg(QString::number(static_cast<uint32_t>(hr), 16).toUpper());
    }
    }
}

HRESULT reportError(const RuntimeError &error)
{
    setErrorInfo({error.number(), error.source(), error.description()});
    return hresultFromErrorNumber(error.number());
}

void throwIfFailed(HRESULT hr, const QString &source)
{
    if (SUCCEEDED(hr))
        return;
    ErrorRecord r = takeErrorInfo();
    if (r.description.isEmpty() && r.number == 0) {
        r.number = errorNumberFromHresult(hr);
        r.description = describeHresult(hr);
    }
    if (r.number == 0)
        r.number = errorNumberFromHresult(hr);
    if (r.source.isEmpty())
        r.source = source;
    throw RuntimeError(r.number, r.source, r.description);
}

void fillExcepInfo(EXCEPINFO *info, const RuntimeError &error)
{
    if (!info)
        return;
    std::memset(info, 0, sizeof(EXCEPINFO));
    info->bstrSource = toBstr(error.source());
    info->bstrDescription = toBstr(error.description());
    info->scode = hresultFromErrorNumber(error.number());
}

} // namespace com
