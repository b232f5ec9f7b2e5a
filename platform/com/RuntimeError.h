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
constexpr int32_t ObjectRequired = 424;
constexpr int32_t CannotCreateObject = 429;
} // namespace errors

} // namespace com
