#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatchable.h"
#include "platform/com/LateBound.h"

#include <gtest/gtest.h>

namespace {

constexpr IID IID_ICounter = com::guidLiteral("{3B7E0C11-5A2D-4E6F-9A1B-2C3D4E5F6071}");
constexpr IID IID_IResettable = com::guidLiteral("{3B7E0C12-5A2D-4E6F-9A1B-2C3D4E5F6071}");
constexpr IID IID_Unknown = com::guidLiteral("{3B7E0C13-5A2D-4E6F-9A1B-2C3D4E5F6071}");

// A dual interface of its own, after the IDispatch entries.
struct ICounter : IDispatch
{
    virtual HRESULT Next(int32_t *value) = 0;
};

struct IResettable : IUnknown
{
    virtual HRESULT Reset() = 0;
};

// An object with its own dual interface and a further one beside it.
class Counter final : public com::Dispatchable<Counter, ICounter>
{
public:
    static constexpr IID kInterfaceIid = IID_ICounter;
    static const com::MemberTable<Counter> &members()
    {
        static const com::MemberTable<Counter> table = com::MemberTable<Counter>().add(
            QStringLiteral("Value"), [](Counter &self, const com::DispArgs &) { return com::Variant::fromInt32(self.m_value); });
        return table;
    }

    explicit Counter(int *alive) : m_alive(alive) { ++*m_alive; }
    Counter(const Counter &other) : Dispatchable(other), m_alive(other.m_alive), m_value(other.m_value) { ++*m_alive; }
    ~Counter() { --*m_alive; }

    HRESULT Next(int32_t *value) override
    {
        *value = ++m_value;
        return S_OK;
    }
    void *queryExtra(REFIID riid) { return riid == IID_IResettable ? static_cast<IResettable *>(&m_reset) : nullptr; }

private:
    // The further interface shares the object's identity and count.
    struct Resetter final : IResettable
    {
        explicit Resetter(Counter &outer) : m_outer(outer) {}
        HRESULT QueryInterface(REFIID riid, void **ppv) override { return m_outer.QueryInterface(riid, ppv); }
        ULONG AddRef() override { return m_outer.AddRef(); }
        ULONG Release() override { return m_outer.Release(); }
        HRESULT Reset() override
        {
            m_outer.m_value = 0;
            return S_OK;
        }
        Counter &m_outer;
    };

    int *m_alive;
    int32_t m_value = 0;
    Resetter m_reset{*this};
};

ULONG countOf(IUnknown *object)
{
    object->AddRef();
    return object->Release();
}

TEST(Dispatchable, AnswersItsOwnInterfaceAndTheFurtherOneOnOneCount)
{
    int alive = 0;
    auto counter = com::ComPtr<Counter>::adopt(new Counter(&alive));
    void *own = nullptr;
    ASSERT_EQ(counter->QueryInterface(IID_ICounter, &own), S_OK);
    void *dispatch = nullptr;
    ASSERT_EQ(counter->QueryInterface(IID_IDispatch, &dispatch), S_OK);
    EXPECT_EQ(own, dispatch);
    int32_t next = 0;
    static_cast<ICounter *>(own)->Next(&next);
    static_cast<ICounter *>(own)->Next(&next);
    EXPECT_EQ(next, 2);
    EXPECT_EQ(com::toQVariant(com::get(static_cast<IDispatch *>(dispatch), QStringLiteral("value"))).toInt(), 2);

    void *reset = nullptr;
    ASSERT_EQ(counter->QueryInterface(IID_IResettable, &reset), S_OK);
    EXPECT_EQ(countOf(counter.get()), 4u);
    static_cast<IResettable *>(reset)->Reset();
    EXPECT_EQ(com::toQVariant(com::get(counter.get(), QStringLiteral("Value"))).toInt(), 0);
    // Back from the further interface to the first: the same object.
    void *again = nullptr;
    ASSERT_EQ(static_cast<IResettable *>(reset)->QueryInterface(IID_ICounter, &again), S_OK);
    EXPECT_EQ(again, own);

    void *none = reinterpret_cast<void *>(1);
    EXPECT_EQ(counter->QueryInterface(IID_Unknown, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(counter->QueryInterface(IID_ICounter, nullptr), E_POINTER);

    static_cast<ICounter *>(own)->Release();
    static_cast<IDispatch *>(dispatch)->Release();
    static_cast<IResettable *>(reset)->Release();
    static_cast<ICounter *>(again)->Release();
    EXPECT_EQ(countOf(counter.get()), 1u);
    counter.reset();
    EXPECT_EQ(alive, 0);
}

TEST(Dispatchable, ACopyHasACountOfItsOwn)
{
    int alive = 0;
    auto *original = new Counter(&alive);
    int32_t next = 0;
    original->Next(&next);
    original->AddRef();
    auto *copy = new Counter(*original);
    EXPECT_EQ(countOf(copy), 1u);
    EXPECT_EQ(countOf(original), 2u);
    copy->Next(&next);
    EXPECT_EQ(next, 2);
    EXPECT_EQ(copy->Release(), 0u);
    EXPECT_EQ(alive, 1);
    original->Release();
    EXPECT_EQ(original->Release(), 0u);
    EXPECT_EQ(alive, 0);
}

// A table kept per object, as a window control keeps one for its widget.
class Bag final : public com::Dispatchable<Bag>
{
public:
    explicit Bag(const QStringList &names)
    {
        for (const QString &name : names)
            m_members.add(name, [name](const com::DispArgs &) { return com::Variant::fromString(name); });
    }
    com::MemberTable<Bag> &members() { return m_members; }

private:
    com::MemberTable<Bag> m_members;
};

TEST(Dispatchable, ATableKeptPerObjectNamesOnlyThatObjectsMembers)
{
    auto colour = com::ComPtr<IDispatch>::adopt(new Bag({QStringLiteral("Colour")}));
    auto size = com::ComPtr<IDispatch>::adopt(new Bag({QStringLiteral("Size"), QStringLiteral("Weight")}));
    EXPECT_EQ(com::toQVariant(com::get(colour.get(), QStringLiteral("COLOUR"))).toString(), QStringLiteral("Colour"));
    EXPECT_EQ(com::toQVariant(com::get(size.get(), QStringLiteral("weight"))).toString(), QStringLiteral("Weight"));
    EXPECT_THROW(com::get(colour.get(), QStringLiteral("Size")), com::RuntimeError);
}

// Reached early-bound only: no member has a name.
class Plain final : public com::Dispatchable<Plain>
{
};

TEST(Dispatchable, AClassWithoutMembersKnowsNoName)
{
    auto plain = com::ComPtr<IDispatch>::adopt(new Plain());
    QString name = QStringLiteral("Anything");
    OLECHAR *names[] = {reinterpret_cast<OLECHAR *>(name.data())};
    DISPID id = 0;
    EXPECT_EQ(plain->GetIDsOfNames(IID_IUnknown, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    DISPPARAMS none{};
    EXPECT_EQ(plain->Invoke(1, IID_IUnknown, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
}

TEST(ClassFactory, MakesObjectsAndGoesWithItsLastReference)
{
    struct Made final : com::Dispatchable<Made>
    {
    };
    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(com::ClassFactory<Made>::get(IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(countOf(factory.get()), 1u);
    com::ComPtr<IDispatch> made;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, made.putVoid()), S_OK);
    EXPECT_EQ(countOf(made.get()), 1u);
    void *wrong = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &wrong), E_NOINTERFACE);
    EXPECT_EQ(wrong, nullptr);
}

} // namespace
