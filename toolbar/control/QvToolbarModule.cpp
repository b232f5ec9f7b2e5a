// Entry points of the qvtoolbar server library and its registration data.

#include "platform/com/Guid.h"
#include "platform/com/ServerModule.h"
#include "toolbar/control/NavToolbarIds.h"
#include "toolbar/control/NavToolbarObject.h"

#include "platform/com/RegistryStore.h"

QV_TYPE_LIBRARY("library qvToolbar 2.2 {E83F7AC1-8CC6-4663-8166-88A4F52D3318}\n"
                "# qvToolbar Control 1.0\n"
                "interface _NavToolbar {EC73D5A3-7E17-4959-B29F-63759FBF0696}\n"
                "interface __NavToolbar {E97362D8-93D9-4496-8B0F-9DC478936976}\n"
                "interface _ppgToolbar {DFEE2AAE-1ECD-4E21-AA3B-948CB5F019CA}\n"
                "interface _clsItems {90F3658F-863C-4965-B9E7-2984BF9F524C}\n"
                "interface _clsToolbarItem {FD3577D3-D6B5-40C9-B635-ED969937A985}\n"
                "coclass NavToolbar {575962D2-52CE-465D-9152-32070A2F8602}\n"
                "  implements _NavToolbar {EC73D5A3-7E17-4959-B29F-63759FBF0696}\n"
                "  implements __NavToolbar {E97362D8-93D9-4496-8B0F-9DC478936976}\n"
                "# ppgToolbar {883ACF3C-175D-46EA-99E3-25A4D594C8A2}: the property page, shown by form editors\n");

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
bool registerControlKeys(const QString &path, QString *error)
{
    using com::RegistryStore;
    const QString cls = QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\") + com::guidToString(qvtoolbar::CLSID_NavToolbar);
    const QString lib = com::guidToString(qvtoolbar::LIBID_qvToolbar);
    return RegistryStore::createKey(cls + QStringLiteral("\\Control"), error)
        && RegistryStore::setValue(cls + QStringLiteral("\\MiscStatus"), QString(), QStringLiteral("0"), error)
        && RegistryStore::setValue(cls + QStringLiteral("\\MiscStatus\\1"), QString(), QString::number(0x30191), error)
        && RegistryStore::setValue(cls + QStringLiteral("\\ToolboxBitmap32"), QString(), path + QStringLiteral(", 30000"), error)
        && RegistryStore::setValue(cls + QStringLiteral("\\TypeLib"), QString(), lib, error)
        && RegistryStore::setValue(cls + QStringLiteral("\\Version"), QString(), QStringLiteral("2.2"), error)
        && RegistryStore::setValue(typeLibKey() + QStringLiteral("\\2.2"), QString(), QString::fromLatin1(qvToolbarDescription), error)
        && RegistryStore::setValue(typeLibKey() + QStringLiteral("\\2.2\\0\\linux"), QString(), path, error);
}

bool unregisterControlKeys(const QString &, QString *error)
{
    // A key that is already gone is no failure; a registry that cannot be changed is.
    QString why;
    com::RegistryStore::deleteTree(typeLibKey(), &why);
    if (error)
        *error = why;
    return why.isEmpty();
}

} // namespace

// The collection and button classes are not creatable; the property page is
// opened by form editors, not created through the registry. Controls of the
// library may still be on a form: it is never unloaded.
QV_SERVER_ENTRY_POINTS_WITH_KEYS(kServedClasses, registerControlKeys, unregisterControlKeys)
