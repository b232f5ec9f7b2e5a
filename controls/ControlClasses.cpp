#include "controls/ControlClasses.h"

#include "controls/Button.h"
#include "controls/Button2.h"
#include "controls/ControlsAccessibility.h"
#include "controls/NavContainer.h"
#include "controls/NavPanel.h"
#include "controls/Panel.h"
#include "controls/ShadowLabel.h"
#include "controls/StatusBar.h"
#include "controls/VSTabCtl.h"
#include "controls/WidgetControl.h"
#include "controls/dLinkLabel.h"
#include "controls/qvArrow.h"
#include "controls/qvPilot_S.h"
#include "controls/zLibObject.h"

#include "platform/com/ClassRegistry.h"
#include "platform/com/Guid.h"

#include <new>

namespace qvcontrols {

namespace {

struct ClassEntry
{
    const char *progId;
    const char *clsid;
    com::ClassCreator creator;
};

template<typename T>
HRESULT create(REFIID iid, void **ppv)
{
    auto *object = new (std::nothrow) T();
    if (!object)
        return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, ppv);
    object->Release();
    return hr;
}

const ClassEntry *classes(size_t *count)
{
    static const ClassEntry entries[] = {
        {"qvPanel.Panel", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C01}", create<WidgetControl<Panel>>},
        {"qvNavigationPanel.NavPanel", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C02}", create<WidgetControl<NavPanel>>},
        {"qvNavigationPanel.NavContainer", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C03}", create<WidgetControl<NavContainer>>},
        {"qvLabel.ShadowLabel", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C04}", create<WidgetControl<ShadowLabel>>},
        {"qvButton.Button", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C05}", create<WidgetControl<Button>>},
        {"qvButton2.Button2", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C06}", create<WidgetControl<Button2>>},
        {"qvComCTL.dLinkLabel", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C07}", create<WidgetControl<dLinkLabel>>},
        {"qvVSTabs.qvVSTabCtl", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C08}", create<WidgetControl<VSTabCtl>>},
        {"qvComCTL.StatusBar", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C09}", create<WidgetControl<StatusBar>>},
        {"qvPilot.qvPilot_S", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C0A}", create<WidgetControl<qvPilot_S>>},
        {"qvPilot.qvArrow", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C0B}", create<WidgetControl<qvArrow>>},
        {"qvZlib.zLibControl", "{5A1C0D01-7E2B-4F3A-8C9D-0E1F2A3B4C0C}", create<zLibObject>},
    };
    *count = std::size(entries);
    return entries;
}

} // namespace

void registerControlClasses()
{
    installAccessibility();
    size_t count = 0;
    const ClassEntry *entries = classes(&count);
    for (size_t i = 0; i < count; ++i)
        com::registerBuiltinClass(com::guid(entries[i].clsid), QString::fromLatin1(entries[i].progId), entries[i].creator);
}

CLSID controlClassId(const QString &progId)
{
    size_t count = 0;
    const ClassEntry *entries = classes(&count);
    for (size_t i = 0; i < count; ++i) {
        if (progId.compare(QLatin1String(entries[i].progId), Qt::CaseInsensitive) == 0)
            return com::guid(entries[i].clsid);
    }
    return GUID_NULL;
}

} // namespace qvcontrols
