// A small server library the object-model tests build, register and create.

#include "platform/com/Bstr.h"
#include "platform/com/Dispatchable.h"
#include "platform/com/ServerModule.h"

#include <cstdlib>

#ifdef QV_TESTSERVER_BROKEN
// The same library with a mistake in its description: registration must refuse it.
QV_TYPE_LIBRARY("library qvBrokenServer 1.0 {6C1D2E90-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n"
                "coclass Greeter {6C1D2E92-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n"
                "  implements _Greeter\n");
#else
QV_TYPE_LIBRARY("library qvTestServer 1.2 {6C1D2E90-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n"
                "interface _Greeter {6C1D2E91-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n"
                "coclass Greeter {6C1D2E92-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n"
                "  implements _Greeter {6C1D2E91-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n");
#endif

namespace {

// Lets the tests see whether any code of this library has run.
__attribute__((constructor)) void markLoaded()
{
    setenv("QV_TESTSERVER_LOADED", "1", 1);
}

const CLSID kGreeter = com::guid("{6C1D2E92-3A4B-4C5D-8E9F-0A1B2C3D4E5F}");

class Greeter final : public com::Dispatchable<Greeter>
{
public:
    static const com::MemberTable<Greeter> &members()
    {
        static const com::MemberTable<Greeter> table = com::MemberTable<Greeter>()
            .add(QStringLiteral("Hello"), [](Greeter &, const com::DispArgs &a) {
                return com::Variant::fromString(QStringLiteral("Hello, ") + com::toQVariant(*a.at(0)).toString());
            })
            // Writes through its by-reference argument.
            .add(QStringLiteral("Shout"), [](Greeter &, const com::DispArgs &a) {
                VARIANT *arg = a.at(0);
                if (arg->vt != (VT_BSTR | VT_BYREF))
                    throw com::RuntimeError::of(com::errors::TypeMismatch, QStringLiteral("Greeter"));
                const QString upper = com::fromBstr(*arg->pbstrVal).toUpper();
                SysFreeString(*arg->pbstrVal);
                *arg->pbstrVal = com::toBstr(upper);
                return com::Variant::fromBool(true);
            })
            .add(QStringLiteral("Fail"), [](Greeter &, const com::DispArgs &) -> com::Variant {
                throw com::RuntimeError(5, QStringLiteral("Greeter"), QStringLiteral("bad call"));
            });
        return table;
    }
};

const com::ServedClass kServedClasses[] = {com::servedClass<Greeter>(kGreeter)};

} // namespace

QV_SERVER_ENTRY_POINTS(kServedClasses)
