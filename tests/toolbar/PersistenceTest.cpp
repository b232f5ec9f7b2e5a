#include "ToolbarTestUtil.h"

#include "platform/com/ClassRegistry.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"
#include "platform/com/RuntimeError.h"
#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/NavToolbarIds.h"
#include "toolbar/control/PropertyBag.h"
#include "toolbar/drawing/clsSubclass.h"

#include <QFontMetrics>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace qvtoolbar;

namespace {
std::unique_ptr<NavToolbar> makeBar()
{
    auto bar = std::make_unique<NavToolbar>();
    bar->InitProperties();
    bar->SetTwipsSize(400 * 15, 29 * 15);
    return bar;
}
} // namespace

TEST(Persistence, AnEmptyBarStoresOnlyWhatDiffersFromTheDefaults)
{
    auto bar = makeBar();
    PropertyBag bag;
    bar->WriteProperties(bag);
    EXPECT_EQ(bag.Names(), QStringList{QStringLiteral("ThemeColor")}); // a new control is Blue, not Autodetect
    bar->SetThemeColor(Autodetect);
    bar->SetSkinID(QStringLiteral("s1"));
    PropertyBag again;
    bar->WriteProperties(again);
    EXPECT_EQ(again.Names(), QStringList{QStringLiteral("SkinID")});
}

namespace {
// A bar with one button that sets every property away from its default, a
// plain one, hidden and disabled, and a separator.
std::unique_ptr<NavToolbar> barWithEveryProperty(std::shared_ptr<StdFont> &font)
{
    auto bar = makeBar();
    bar->SetThemeColor(Olive);
    font = std::make_shared<StdFont>();
    font->Name = QStringLiteral("宋体");
    font->Size = 12;
    font->Bold = true;
    font->Weight = 700;
    font->Charset = 134;
    bar->AddButton(Button, QStringLiteral("新建"), QStringLiteral("new"), tbtest::solidBitmap(16, 16, qRgb(1, 2, 3)), 24,
                   IconTopTextBottom, QStringLiteral("新建一条"), 0x112233, font, DropdownButton, STA_PRESSED, false,
                   0x00FF00);
    bar->AddButton(Button, QStringLiteral("plain"));
    bar->AddButton(Separator);
    bar->Buttons().Item(1)->SetValue(true);
    bar->Buttons().Item(2)->SetEnabled(false);
    bar->Buttons().Item(2)->SetVisible(false);
    bar->Calculate_Size(1);
    return bar;
}
} // namespace

TEST(Persistence, RoundTripRestoresEveryPropertyAndStoresNoDefault)
{
    tbtest::PinnedMetrics pin;
    std::shared_ptr<StdFont> font;
    auto bar = barWithEveryProperty(font);

    PropertyBag bag;
    bar->WriteProperties(bag);
    const QStringList names = bag.Names();
    EXPECT_EQ(names.first(), QStringLiteral("ThemeColor"));
    EXPECT_EQ(names.at(1), QStringLiteral("ButtonCount"));
    EXPECT_TRUE(names.contains(QStringLiteral("Font1")));
    EXPECT_TRUE(names.contains(QStringLiteral("Icon1")));
    // The plain button keeps only what differs: caption, visibility,
    // enabling and its geometry.
    QStringList second;
    for (const QString &n : names)
        if (n.endsWith(QLatin1Char('2')))
            second.append(n);
    EXPECT_EQ(second, (QStringList{QStringLiteral("Caption2"), QStringLiteral("Visible2"), QStringLiteral("Enabled2"),
                                   QStringLiteral("Left2"), QStringLiteral("Width2"), QStringLiteral("Height2")}));
    EXPECT_FALSE(names.contains(QStringLiteral("Font2")));
    EXPECT_FALSE(names.contains(QStringLiteral("SkinID")));

    // Stored as bytes, restored into another control.
    const PropertyBag loaded = PropertyBag::Load(bag.Save());
    auto copy = makeBar();
    copy->SetUserMode(false);
    const auto oldButtons = copy->ButtonsObject();
    copy->ReadProperties(loaded);
    EXPECT_NE(copy->ButtonsObject(), oldButtons);
    EXPECT_EQ(copy->ThemeColor(), Olive);
    EXPECT_EQ(copy->StoredButtonCount(), 3);
    ASSERT_EQ(copy->Buttons().Count(), 3);
    auto b = copy->Buttons().Item(QStringLiteral("new"));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Caption(), QStringLiteral("新建"));
    EXPECT_EQ(b->IconSize(), 24);
    EXPECT_EQ(b->Alignment(), IconTopTextBottom);
    EXPECT_EQ(b->TooltipText(), QStringLiteral("新建一条"));
    EXPECT_EQ(b->ForeColor(), 0x112233);
    EXPECT_EQ(b->Style(), DropdownButton);
    EXPECT_TRUE(b->Value());
    EXPECT_FALSE(b->UseMaskColor());
    EXPECT_EQ(b->maskColor(), 0x00FF00);
    EXPECT_EQ(b->Font()->Name, QStringLiteral("宋体"));
    EXPECT_EQ(b->Font()->Size, 12);
    EXPECT_TRUE(b->Font()->Bold);
    EXPECT_EQ(b->Font()->Charset, 134);
    EXPECT_NE(b->Font(), font);
    ASSERT_TRUE(b->GetPicture());
    EXPECT_EQ(b->GetPicture()->type(), StdPicture::Bitmap);
    EXPECT_EQ(b->GetPicture()->image().pixel(5, 5), qRgb(1, 2, 3));
    // Stored pressed, shown at rest: the final redraw resets the state
    // (a drop-down button is not a check button, so it rests normal).
    EXPECT_EQ(b->State(), STA_NORMAL);
    EXPECT_EQ(b->iLeft(), 9);
    auto p = copy->Buttons().Item(2);
    EXPECT_FALSE(p->Enabled());
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(p->Font()->Name, StdFont().Name);
    EXPECT_EQ(copy->Buttons().Item(3)->btnType(), Separator);
    EXPECT_EQ(copy->Buttons().Item(2)->iLeft(), 9 + b->iWidth());

    // Written again, the copy stores the same set.
    PropertyBag rewritten;
    copy->WriteProperties(rewritten);
    EXPECT_EQ(rewritten.Names(), names);
}

TEST(Persistence, MissingButtonsReadAsDefaults)
{
    tbtest::PinnedMetrics pin;
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("ButtonCount"), int32_t(2), int16_t(0));
    bag.WriteProperty(QStringLiteral("Caption1"), QStringLiteral("one"), QString());
    auto bar = makeBar();
    bar->ReadProperties(bag);
    ASSERT_EQ(bar->Buttons().Count(), 2);
    EXPECT_EQ(bar->ThemeColor(), Autodetect);
    auto b = bar->Buttons().Item(2);
    EXPECT_EQ(b->Caption(), QString());
    EXPECT_TRUE(b->Visible());
    EXPECT_TRUE(b->Enabled());
    EXPECT_EQ(b->IconSize(), 16);
    EXPECT_EQ(b->ForeColor(), int32_t(0x80000008));
    EXPECT_EQ(b->maskColor(), 0xFF00FF);
    EXPECT_TRUE(b->UseMaskColor());
    EXPECT_EQ(b->iWidth(), 24);
    ASSERT_NE(bar->OwnSubclass(), nullptr);
    EXPECT_EQ(bar->OwnSubclass()->hwnd(), bar.get());
}

TEST(Persistence, DuplicateStoredKeysFailTheReadKeepingTheButtonsBefore)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("ButtonCount"), int32_t(3), int16_t(0));
    bag.WriteProperty(QStringLiteral("Key1"), QStringLiteral("a"), QString());
    bag.WriteProperty(QStringLiteral("Key2"), QStringLiteral("b"), QString());
    bag.WriteProperty(QStringLiteral("Key3"), QStringLiteral("A"), QString());
    auto bar = makeBar();
    try {
        bar->ReadProperties(bag);
        FAIL() << "read succeeded";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), clsItems::kErrorNumber);
        EXPECT_EQ(e.description(), QStringLiteral("Key: A Already Exists"));
    }
    EXPECT_EQ(bar->Buttons().Count(), 2);
    EXPECT_EQ(bar->Buttons().Item(2)->Key(), QStringLiteral("b"));
}

TEST(Persistence, BadStoredDataIsRefusedWithAClearError)
{
    auto bar = makeBar();
    bar->AddButton(Button, QStringLiteral("kept"));
    PropertyBag wrongKind;
    wrongKind.WriteProperty(QStringLiteral("ButtonCount"), QStringLiteral("two"), int16_t(0));
    EXPECT_THROW(bar->ReadProperties(wrongKind), com::RuntimeError);
    PropertyBag tooMany;
    tooMany.WriteProperty(QStringLiteral("ButtonCount"), int32_t(40000), int16_t(0));
    EXPECT_THROW(bar->ReadProperties(tooMany), com::RuntimeError);
    EXPECT_EQ(bar->Buttons().Item(1)->Caption(), QStringLiteral("kept"));

    PropertyBag good;
    good.WriteProperty(QStringLiteral("Caption1"), QStringLiteral("x"), QString());
    QByteArray bytes = good.Save();
    EXPECT_THROW(PropertyBag::Load(bytes.left(bytes.size() - 3)), com::RuntimeError);
    EXPECT_THROW(PropertyBag::Load(QByteArray("not a bag")), com::RuntimeError);
    EXPECT_EQ(PropertyBag::Load(bytes).ReadString(QStringLiteral("Caption1"), QString()), QStringLiteral("x"));
}

TEST(Registration, EntryPointsRegisterTheControlByProgId)
{
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void *>(&PropertyBag::Load), &info), 0);
    const QString library = QString::fromLocal8Bit(info.dli_fname);
    const auto lib = com::TypeLibrary::loadFromFile(library);
    ASSERT_TRUE(lib);
    EXPECT_EQ(lib->name, QStringLiteral("qvToolbar"));
    EXPECT_EQ(lib->majorVersion, 2);
    EXPECT_EQ(lib->minorVersion, 2);
    EXPECT_EQ(lib->libid, LIBID_qvToolbar);
    ASSERT_EQ(lib->coclasses().size(), 1);
    EXPECT_EQ(lib->coclasses().first().guid, CLSID_NavToolbar);
    void *handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_TRUE(handle);
    EXPECT_STREQ(static_cast<const char *>(dlsym(handle, "qvToolbarFileVersion")), "1.0.0.3");
    dlclose(handle);

    QTemporaryDir dir;
    com::RegistryStore::setFilePath(dir.filePath(QStringLiteral("registry.json")));
    CLSID clsid = GUID_NULL;
    EXPECT_TRUE(FAILED(com::clsidFromProgId(QStringLiteral("qvToolbar.NavToolbar"), &clsid)));
    ASSERT_EQ(com::InprocServer::callRegistration(library, true), S_OK);
    ASSERT_EQ(com::clsidFromProgId(QStringLiteral("qvToolbar.NavToolbar"), &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_NavToolbar);
    const QString cls = QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{575962D2-52CE-465D-9152-32070A2F8602}");
    EXPECT_EQ(com::RegistryStore::value(cls + QStringLiteral("\\MiscStatus\\1")).valueOr(std::nullopt), QStringLiteral("197009"));
    EXPECT_EQ(com::RegistryStore::value(cls + QStringLiteral("\\Version")).valueOr(std::nullopt), QStringLiteral("2.2"));
    EXPECT_EQ(com::RegistryStore::value(QStringLiteral("HKEY_CLASSES_ROOT\\TypeLib\\{E83F7AC1-8CC6-4663-8166-88A4F52D3318}\\2.2")).valueOr(std::nullopt),
              QStringLiteral("qvToolbar Control 1.0"));
    {
        auto object = com::createObject(QStringLiteral("qvToolbar.NavToolbar"));
        ASSERT_TRUE(object);
        com::call(object.get(), QStringLiteral("AddButton"),
                  {com::Variant::fromInt32(0), com::Variant::fromString(QStringLiteral("甲")),
                   com::Variant::fromString(QStringLiteral("k"))});
        EXPECT_EQ(com::toQVariant(com::get(object.get(), QStringLiteral("ButtonCount"))).toInt(), 1);
    }
    EXPECT_EQ(com::InprocServer::callRegistration(library, false), S_OK);
    EXPECT_TRUE(FAILED(com::clsidFromProgId(QStringLiteral("qvToolbar.NavToolbar"), &clsid)));
    EXPECT_FALSE(com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT\\TypeLib\\{E83F7AC1-8CC6-4663-8166-88A4F52D3318}")).valueOr(false));
    com::RegistryStore::setFilePath(QString());
}

TEST(Persistence, StoredPropertiesTextRoundTripsAndRefusesBadText)
{
    tbtest::PinnedMetrics pin;
    auto bar = makeBar();
    bar->AddButton(Button, QStringLiteral("甲"), QStringLiteral("a"));
    bar->AddButton(Button, QStringLiteral("乙"));
    bar->Calculate_Size(1); // the positions are stored too
    const QString text = bar->property("StoredProperties").toString();
    ASSERT_FALSE(text.isEmpty());

    auto copy = makeBar();
    copy->AddButton(Button, QStringLiteral("kept"));
    const auto notBase64 = copy->SetStoredProperties(QStringLiteral("%%%"));
    EXPECT_FALSE(notBase64);
    EXPECT_FALSE(notBase64.error().isEmpty());
    EXPECT_FALSE(copy->SetStoredProperties(text.left(text.size() / 2)));
    EXPECT_EQ(copy->Buttons().Count(), 1);
    EXPECT_EQ(copy->Buttons().Item(1)->Caption(), QStringLiteral("kept"));

    EXPECT_TRUE(copy->setProperty("StoredProperties", text));
    ASSERT_EQ(copy->Buttons().Count(), 2);
    EXPECT_EQ(copy->Buttons().Item(QStringLiteral("a"))->Caption(), QStringLiteral("甲"));
    EXPECT_EQ(copy->StoredProperties(), text);
}

// A stored font bigger than the default: the caption is measured in it, so
// the button is wide enough for its caption as drawn.
TEST(Persistence, AStoredButtonIsMeasuredInItsOwnFont)
{
    auto big = std::make_shared<StdFont>();
    big->Size = 36;
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("ButtonCount"), int32_t(1), int16_t(0));
    bag.WriteProperty(QStringLiteral("Caption1"), QStringLiteral("新增记录"), QString());
    bag.WriteProperty(QStringLiteral("Font1"), big, FontRef());
    auto bar = makeBar();
    bar->ReadProperties(PropertyBag::Load(bag.Save()));
    const auto b = bar->Buttons().Item(1);
    const int drawn = QFontMetrics(big->toQFont()).horizontalAdvance(QStringLiteral("新增记录"));
    EXPECT_GE(b->iWidth(), drawn + 8);
    EXPECT_GE(b->iHeight(), QFontMetrics(big->toQFont()).height());

    // Added by code with the same font and caption, it measures the same.
    auto added = makeBar();
    added->AddButton(Button, QStringLiteral("新增记录"), QString(), nullptr, 16, IconLeftTextRight, QString(),
                     int32_t(0x80000008), big);
    EXPECT_EQ(added->Buttons().Item(1)->iWidth(), b->iWidth());
}

// A button's values are read caption, key, icon, visibility first: with two
// of them bad, the fault reported is the caption's.
TEST(Persistence, AButtonsValuesAreReadInTheirOrder)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("ButtonCount"), int32_t(1), int16_t(0));
    bag.WriteProperty(QStringLiteral("Caption1"), std::make_shared<StdFont>(), QString());
    bag.WriteProperty(QStringLiteral("Key1"), std::make_shared<StdFont>(), QString());
    bag.WriteProperty(QStringLiteral("Visible1"), QStringLiteral("yes"), true);
    auto bar = makeBar();
    try {
        bar->ReadProperties(bag);
        FAIL() << "read succeeded";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.description(), QStringLiteral("类型不匹配: Caption1"));
    }
    EXPECT_EQ(bar->Buttons().Count(), 0);
}
