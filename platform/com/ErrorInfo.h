#pragma once

// Error information that travels beside a failed HRESULT: the callee records
// number, source and description for the current thread; the caller turns the
// failure into a run-time error. Lives in the shared runtime so that the
// program and every plug-in library see the same record.

#include "platform/com/RuntimeError.h"
#include "platform/com/Variant.h"

namespace com {

struct ErrorRecord
{
    int32_t number = 0;
    QString source;
    QString description;
};

QVCOM_EXPORT void setErrorInfo(const ErrorRecord &record);
QVCOM_EXPORT void clearErrorInfo();
// Takes the record (it is cleared); empty when none was set.
QVCOM_EXPORT ErrorRecord takeErrorInfo();

// HRESULT for a run-time error number (0x800A0000 + number for automation errors).
QVCOM_EXPORT HRESULT hresultFromErrorNumber(int32_t number);
// The run-time error number a caller sees for an HRESULT.
QVCOM_EXPORT int32_t errorNumberFromHresult(HRESULT hr);
// Text of a well-known failure, used when the callee gave no description.
QVCOM_EXPORT QString describeHresult(HRESULT hr);

// Records `error` for the caller and returns its HRESULT.
QVCOM_EXPORT HRESULT reportError(const RuntimeError &error);
// Throws a RuntimeError for a failed HRESULT, using the recorded error information.
QVCOM_EXPORT void throwIfFailed(HRESULT hr, const QString &source = QString());
// Fills an EXCEPINFO from a run-time error (for IDispatch::Invoke).
QVCOM_EXPORT void fillExcepInfo(EXCEPINFO *info, const RuntimeError &error);

// Runs `body` inside a vtable member: a RuntimeError or any other exception
// becomes a failed HRESULT with error information instead of crossing the boundary.
template<typename F>
HRESULT guarded(F &&body)
{
    try {
        return body();
    } catch (const RuntimeError &e) {
        return reportError(e);
    } catch (const std::exception &e) {
        return reportError(RuntimeError(errors::AutomationError, QString(), QString::fromLocal8Bit(e.what())));
    } catch (...) {
        return reportError(RuntimeError::of(errors::AutomationError));
    }
}

} // namespace com
