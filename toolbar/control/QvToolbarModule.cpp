// Entry points of the qvtoolbar server library and its registration data.

#include "platform/com/Guid.h"
#include "platform/com/ServerModule.h"
#include "toolbar/control/NavToolbarIds.h"
#include "toolbar/control/NavToolbarObject.h"

#include "platform/com/RegistryStore.h"

QV_TYPE_LIBRARY("library qvToolbar 2.2 " QVTOOLBAR_LIBID_QVTOOLBAR "\n"
                "# qvToolbar Control 1.0\n"
                "interface _NavToolbar " QVTOOLBAR_IID_NAVTOOLBAR "\n"
                "interface __NavToolbar " QVTOOLBAR_DIID__NAVTOOLBAR "\n"
                "interface _ppgToolbar " QVTOOLBAR_IID_PPGTOOLBAR "\n"
                "interface _clsItems " QVTOOLBAR_IID_CLSITEMS "\n"
                "interface _clsToolbarItem " QVTOOLBAR_IID_CLSTOOLBARITEM "\n"
                "coclass NavToolbar " QVTOOLBAR_CLSID_NAVTOOLBAR "\n"
                "  implements _NavToolbar " QVTOOLBAR_IID_NAVTOOLBAR "\n"
                "  implements __NavToolbar " QVTOOLBAR_DIID__NAVTOOLBAR "\n"
                "# ppgToolbar " QVTOOLBAR_CLSID_PPGTOOLBAR ": the property page, shown by form editors\n");

// File and product version of the library, and the library's description,
// for hosts that show them (the platform keeps them in a version resource).
extern "C" __attribute__((visibility("default"))) const char qvToolbarFileVersion[] = "1.0.0.3";
extern "C" __attribute__((visibility("default"))) const char qvToolbarDescription[] = "qvToolbar Control 1.0";

namespace {

const com::ServedClass kServedClasses[] = {com::servedClass<qvtoolbar::NavToolbarObject>(qvtoolbar::CLSID_NavToolbar)};

QString typeLibKey()
{
    return QStringLiteral("HKEY_CLASSES_ROOT\\TypeLib\\") + com::guidToString(qvtoolbar::LIBID_qvToolbar);
}

// What form editors read beside the class: that it is a control, its status
// flags (set-client-site-first, simple-frame, activate-when-visible,
// inside-out, cannot-link-inside, recompose-on-resize), its toolbox picture
// and its type library.
jx::Result<> registerControlKeys(const QString &path)
{
    using com::RegistryStore;
    const QString cls = QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\") + com::guidToString(qvtoolbar::CLSID_NavToolbar);
    const QString lib = com::guidToString(qvtoolbar::LIBID_qvToolbar);
    if (const auto made = RegistryStore::createKey(cls + QStringLiteral("\\Control")); !made)
        return made;
    const std::pair<QString, QString> defaultValues[] = {
        {cls + QStringLiteral("\\MiscStatus"), QStringLiteral("0")},
        {cls + QStringLiteral("\\MiscStatus\\1"), QString::number(0x30191)},
        {cls + QStringLiteral("\\ToolboxBitmap32"), path + QStringLiteral(", 30000")},
        {cls + QStringLiteral("\\TypeLib"), lib},
        {cls + QStringLiteral("\\Version"), QStringLiteral("2.2")},
        {typeLibKey() + QStringLiteral("\\2.2"), QString::fromLatin1(qvToolbarDescription)},
        {typeLibKey() + QStringLiteral("\\2.2\\0\\linux"), path},
    };
    for (const auto &[key, value] : defaultValues) {
        if (const auto set = RegistryStore::setValue(key, QString(), value); !set)
            return set;
    }
    return {};
}

jx::Result<> unregisterControlKeys(const QString &)
{
    // A key that is already gone is no failure; a registry that cannot be changed is.
    if (const auto removed = com::RegistryStore::deleteTree(typeLibKey()); !removed)
        return jx::fail(removed.error());
    return {};
}

} // namespace

// The collection and button classes are not creatable; the property page is
// opened by form editors, not created through the registry. Controls of the
// library may still be on a form: it is never unloaded.
QV_SERVER_ENTRY_POINTS_WITH_KEYS(kServedClasses, registerControlKeys, unregisterControlKeys)
