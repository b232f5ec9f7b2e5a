#include "platform/com/Bstr.h"
#include "platform/com/Dispatchable.h"
#include "platform/com/Guid.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"
#include "platform/com/TypeLibrary.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Counts its references so that tests can see them.
class Counted final : public com::Dispatchable<Counted>
{
public:
    explicit Counted(int *alive) : m_alive(alive) { ++*m_alive; }
    ~Counted() { --*m_alive; }
    ULONG refs()
    {
        AddRef();
        return Release();
    }

private:
    int *m_alive;
};

} // namespace

TEST(Bstr, CarriesByteLengthBeforeCharacters)
{
    BSTR b = com::toBstr(QStringLiteral("北京ab"));
    uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<char *>(b) - 4, 4);
    EXPECT_EQ(bytes, 8u);
    EXPECT_EQ(SysStringLen(b), 4u);
    EXPECT_EQ(b[4], 0);
    EXPECT_EQ(com::fromBstr(b), QStringLiteral("北京ab"));
    SysFreeString(b);
    EXPECT_EQ(com::fromBstr(nullptr), QString());
    EXPECT_EQ(SysStringLen(nullptr), 0u);
}

TEST(Variant, CopyDeepCopiesStringsAndCountsObjects)
{
    int alive = 0;
    auto *object = new Counted(&alive);
    {
        com::Variant s = com::Variant::fromString(QStringLiteral("x"));
        com::Variant copy = s;
        EXPECT_NE(copy.bstrVal, s.bstrVal);
        EXPECT_EQ(com::fromBstr(copy.bstrVal), QStringLiteral("x"));

        com::Variant o = com::Variant::fromDispatch(object);
        EXPECT_EQ(object->refs(), 2u);
        com::Variant o2 = o;
        EXPECT_EQ(object->refs(), 3u);
        VariantClear(&o2);
        EXPECT_EQ(o2.vt, VT_EMPTY);
        EXPECT_EQ(object->refs(), 2u);
    }
    EXPECT_EQ(object->refs(), 1u);
    object->Release();
    EXPECT_EQ(alive, 0);
}

TEST(Variant, ConvertsToAndFromQVariant)
{
    EXPECT_EQ(com::Variant::fromQVariant(QVariant()).vt, VT_EMPTY);
    EXPECT_EQ(com::Variant::fromQVariant(QVariant(QMetaType(QMetaType::QString))).vt, VT_NULL);
    com::Variant b = com::Variant::fromQVariant(true);
    EXPECT_EQ(b.vt, VT_BOOL);
    EXPECT_EQ(b.boolVal, -1);
    EXPECT_EQ(com::toQVariant(com::Variant::fromInt16(-7)).toInt(), -7);
    EXPECT_FALSE(com::toQVariant(com::Variant::null()).isValid());
    const QDateTime when(QDate(2009, 2, 28), QTime(12, 0));
    com::Variant d = com::Variant::fromQVariant(when);
    EXPECT_DOUBLE_EQ(d.date, 39872.5);
    EXPECT_EQ(com::toQVariant(d).toDateTime(), when);
}

TEST(Guid, RoundTripsTextAndRejectsGarbage)
{
    const auto g = com::guidFromString(QStringLiteral("{7b208c4b-37e6-4f8c-ac98-91e74163b50c}"));
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->Data1, 0x7B208C4Bu);
    EXPECT_EQ(g->Data4[7], 0x0C);
    EXPECT_EQ(com::guidToString(*g), QStringLiteral("{7B208C4B-37E6-4F8C-AC98-91E74163B50C}"));
    EXPECT_FALSE(com::guidFromString(QStringLiteral("{7b208c4b-37e6-4f8c-ac98-91e74163b50}")).has_value());
    EXPECT_FALSE(com::guidFromString(QStringLiteral("{7b208c4b-37e6-4f8c-ac98-91e74163b5zz}")).has_value());
    // Without braces and with blanks around it is the same identifier; a sign,
    // a blank or a dash out of place inside it is not an identifier.
    EXPECT_EQ(com::guidFromString(QStringLiteral("  7B208C4B-37E6-4F8C-AC98-91E74163B50C ")), g);
    EXPECT_FALSE(com::guidFromString(QStringLiteral("{+b208c4b-37e6-4f8c-ac98-91e74163b50c}")).has_value());
    EXPECT_FALSE(com::guidFromString(QStringLiteral("{7b208c4b-37e6-4f8c-ac98- 1e74163b50c}")).has_value());
    EXPECT_FALSE(com::guidFromString(QStringLiteral("{7b208c4b-37e6-4f8c-ac9891-e74163b50c}")).has_value());
}

// The description a library carries: comments, blank lines, tabs and any
// run of blanks between the words; each declaration lands in its place.
TEST(TypeLibraryText, ReadsEveryDeclarationAndNamesTheLineOfAFault)
{
    const auto lib = com::TypeLibrary::parse(QStringLiteral("# the test library\n"
                                                            "library\tqvTest  2.7 {6C1D2E90-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n"
                                                            "\n"
                                                            "interface IGreeter {6C1D2E91-3A4B-4C5D-8E9F-0A1B2C3D4E5F}   # its face\n"
                                                            "coclass Greeter {6C1D2E92-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\r\n"
                                                            "  implements IGreeter {6C1D2E91-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n"));
    ASSERT_TRUE(lib) << lib.error().toStdString();
    EXPECT_EQ(lib->name, QStringLiteral("qvTest"));
    EXPECT_EQ(lib->majorVersion, 2);
    EXPECT_EQ(lib->minorVersion, 7);
    EXPECT_EQ(com::guidToString(lib->libid), QStringLiteral("{6C1D2E90-3A4B-4C5D-8E9F-0A1B2C3D4E5F}"));
    ASSERT_EQ(lib->types.size(), 2);
    EXPECT_EQ(lib->types.at(0).name, QStringLiteral("IGreeter"));
    EXPECT_EQ(lib->types.at(0).kind, com::TKIND_DISPATCH);
    EXPECT_EQ(lib->types.at(1).name, QStringLiteral("Greeter"));
    ASSERT_EQ(lib->types.at(1).implemented.size(), 1);
    EXPECT_EQ(lib->types.at(1).implemented.at(0).name, QStringLiteral("IGreeter"));

    const auto bad = com::TypeLibrary::parse(QStringLiteral("library L 1.0 {6C1D2E90-3A4B-4C5D-8E9F-0A1B2C3D4E5F}\n\ncoclass X {6C1D2E92}\n"));
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error(), QStringLiteral("type library line 3: bad identifier"));
}

// Identifiers written once as text are read while compiling; each byte must
// land where the run-time reader puts it, or a class would be served under
// an identifier its description does not name.
TEST(Guid, TextReadWhileCompilingGivesWhatTheRunTimeReaderGives)
{
    constexpr GUID g = com::guidLiteral("{7b208c4b-37E6-4f8c-AC98-91e74163b50c}");
    EXPECT_EQ(g, *com::guidFromString(QStringLiteral("{7B208C4B-37E6-4F8C-AC98-91E74163B50C}")));
    constexpr GUID h = com::guidLiteral("{00000001-0002-0003-0405-060708090A0B}");
    EXPECT_EQ(com::guidToString(h), QStringLiteral("{00000001-0002-0003-0405-060708090A0B}"));
}

namespace {

class Account final : public com::Dispatchable<Account>
{
public:
    static const com::MemberTable<Account> &members()
    {
        static const com::MemberTable<Account> table = com::MemberTable<Account>()
            .add(QStringLiteral("Name"), [](Account &self, const com::DispArgs &) { return com::Variant::fromString(self.m_name); },
                 [](Account &self, const com::DispArgs &, const VARIANT &v) { self.m_name = com::toQVariant(v).toString(); })
            .add(QStringLiteral("Append"), [](Account &, const com::DispArgs &a) {
                VARIANT *arg = a.at(0);
                const QString grown = com::fromBstr(*arg->pbstrVal) + QStringLiteral("!");
                SysFreeString(*arg->pbstrVal);
                *arg->pbstrVal = com::toBstr(grown);
                return com::Variant::fromInt32(static_cast<int32_t>(a.size()));
            })
            .add(QStringLiteral("Self"), [](Account &self, const com::DispArgs &) { return com::Variant::fromDispatch(&self); })
            .add(QStringLiteral("Fail"), [](Account &, const com::DispArgs &) -> com::Variant {
                throw com::RuntimeError(6, QStringLiteral("Account"), QStringLiteral("溢出"));
            });
        return table;
    }

private:
    QString m_name;
};

} // namespace

TEST(LateBound, CallsMembersByNameInAnyLetterCase)
{
    com::ComPtr<IDispatch> account = com::ComPtr<IDispatch>::adopt(new Account());
    com::put(account.get(), QStringLiteral("NAME"), com::Variant::fromString(QStringLiteral("张三")));
    EXPECT_EQ(com::toQVariant(com::get(account.get(), QStringLiteral("name"))).toString(), QStringLiteral("张三"));
    EXPECT_EQ(com::toQVariant(com::getPath(account.get(), QStringLiteral("Self.Self.Name"))).toString(),
              QStringLiteral("张三"));
}

TEST(LateBound, WritesThroughByReferenceArguments)
{
    com::ComPtr<IDispatch> account = com::ComPtr<IDispatch>::adopt(new Account());
    BSTR text = com::toBstr(QStringLiteral("abc"));
    com::Variant count = com::invoke(account.get(), QStringLiteral("Append"), DISPATCH_METHOD, {com::byRef(&text)});
    EXPECT_EQ(com::fromBstr(text), QStringLiteral("abc!"));
    EXPECT_EQ(count.lVal, 1);
    SysFreeString(text);
}

TEST(LateBound, TurnsCalleeFailuresIntoRuntimeErrors)
{
    com::ComPtr<IDispatch> account = com::ComPtr<IDispatch>::adopt(new Account());
    try {
        com::call(account.get(), QStringLiteral("Fail"));
        FAIL() << "no error raised";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 6);
        EXPECT_EQ(e.source(), QStringLiteral("Account"));
        EXPECT_EQ(e.description(), QStringLiteral("溢出"));
    }
    try {
        com::call(account.get(), QStringLiteral("NoSuchMember"));
        FAIL() << "no error raised";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 438);
    }
    EXPECT_THROW(com::get(nullptr, QStringLiteral("Name")), com::RuntimeError);
}

TEST(RegistryStore, KeepsValuesPerKeyWithoutRegardToCase)
{
    QTemporaryDir dir;
    dir.setAutoRemove(false); // evidence stays when a test fails
    com::RegistryStore::setFilePath(dir.filePath(QStringLiteral("registry.json")));

    EXPECT_TRUE(com::RegistryStore::keyExists(QStringLiteral("hkey_classes_root")).valueOr(false));
    EXPECT_FALSE(com::RegistryStore::keyExists(QStringLiteral("HKEY_NOWHERE\\x")).valueOr(false));
    EXPECT_FALSE(com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT\\a.b")).valueOr(false));
    ASSERT_TRUE(com::RegistryStore::setValue(QStringLiteral("HKEY_CLASSES_ROOT\\A.B\\CLSID"), QString(), QStringLiteral("{x}")));
    EXPECT_TRUE(com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT\\a.b")).valueOr(false));
    EXPECT_EQ(com::RegistryStore::value(QStringLiteral("hkey_classes_root\\a.b\\clsid")).valueOr(std::nullopt).value_or(QString()), QStringLiteral("{x}"));
    EXPECT_FALSE(com::RegistryStore::value(QStringLiteral("HKEY_CLASSES_ROOT\\A.B"), QStringLiteral("missing")).valueOr(std::nullopt).has_value());
    EXPECT_FALSE(com::RegistryStore::setValue(QStringLiteral("HKEY_BOGUS\\x"), QString(), QStringLiteral("v")));

    EXPECT_TRUE(com::RegistryStore::deleteTree(QStringLiteral("HKEY_CLASSES_ROOT\\A.B")).valueOr(false));
    EXPECT_FALSE(com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT\\A.B\\CLSID")).valueOr(false));
    com::RegistryStore::setFilePath(QString());
    dir.setAutoRemove(true);
}
