#pragma once

#include "platform/com/QvComExport.h"

#include <QString>

#include <cstdint>
#include <stdexcept>

namespace com {

// A run-time error as the caller's error handler sees it: number, source and
// description. Thrown inside a module; turned into an HRESULT plus error
// information at an interface boundary and back into a RuntimeError on the
// other side. Default visibility so that it can be caught across libraries.
class QVCOM_EXPORT RuntimeError : public std::runtime_error
{
public:
    RuntimeError(int32_t number, QString source, QString description)
        : std::runtime_error(description.toStdString())
        , m_number(number)
        , m_source(std::move(source))
        , m_description(std::move(description))
    {
    }

    // The error with the product's own text for `number` (see errorText).
    static RuntimeError of(int32_t number, const QString &source = QString());

    int32_t number() const { return m_number; }
    const QString &source() const { return m_source; }
    const QString &description() const { return m_description; }

private:
    int32_t m_number;
    QString m_source;
    QString m_description;
};

// Well-known run-time error numbers the product raises itself.
namespace errors {
constexpr int32_t Overflow = 6;            // "溢出"
constexpr int32_t SubscriptOutOfRange = 9;
constexpr int32_t TypeMismatch = 13;
constexpr int32_t InvalidProcedureCall = 5;
constexpr int32_t ObjectVariableNotSet = 91;
constexpr int32_t ObjectRequired = 424;
constexpr int32_t CannotCreateObject = 429;
constexpr int32_t NoAutomationInterface = 430;
constexpr int32_t MemberNotFound = 438;
constexpr int32_t AutomationError = 440;
constexpr int32_t ArgumentNotOptional = 449;
constexpr int32_t WrongArguments = 450;
constexpr int32_t ItemNotFound = 3265;
} // namespace errors

// The description a user of this product sees for a run-time error number,
// in Chinese as the product's runtime gives it; "" for a number it does not know.
QVCOM_EXPORT QString errorText(int32_t number);

// What the operator is told of a caught error: a run-time error's own
// description, any other exception's message.
QVCOM_EXPORT QString errorDescription(const std::exception &e);
// The same for the error being handled; to be called only inside a catch
// block. Anything that is no exception (a plug-in may throw anything through
// its vtable) reads as an automation error.
QVCOM_EXPORT QString currentErrorDescription();

} // namespace com
