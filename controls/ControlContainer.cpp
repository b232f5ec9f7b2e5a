#include "controls/ControlContainer.h"

#include "platform/com/ClassRegistry.h"

namespace qvcontrols {

namespace {
constexpr int32_t kNameInUse = 727;
constexpr int32_t kCannotCreate = 429;
constexpr int32_t kNotAControl = 438;
const QString kSource = QStringLiteral("Controls");
} // namespace

ControlContainer::ControlContainer(ControlEventHandler handler) : m_handler(std::move(handler)) {}

ControlContainer::~ControlContainer()
{
    for (const auto &site : m_sites)
        site->disconnect();
}

void ControlContainer::setHandler(ControlEventHandler handler)
{
    m_handler = std::move(handler);
    for (const auto &site : m_sites)
        site->setHandler(m_handler);
}

ControlSite *ControlContainer::Add(const QString &progId, const QString &name, QWidget *parent)
{
    if (name.trimmed().isEmpty() || Item(name))
        throw com::RuntimeError(kNameInUse, kSource, QStringLiteral("已经有一个名为“%1”的控件").arg(name));
    CLSID clsid;
    com::ComPtr<IDispatch> object;
    if (FAILED(com::clsidFromProgId(progId, &clsid)) || FAILED(com::createInstance(clsid, IID_IDispatch, object.putVoid())) || !object)
        throw com::RuntimeError::of(kCannotCreate, kSource);
    auto control = object.as<IQvControl>(IID_IQvControl);
    QWidget *widget = nullptr;
    if (!control || FAILED(control->GetWidget(parent, &widget)) || !widget)
        throw com::RuntimeError(kNotAControl, kSource, QStringLiteral("“%1”不是控件").arg(progId));
    widget->hide();
    widget->setObjectName(name);
    auto site = com::ComPtr<ControlSite>::adopt(new ControlSite(name, object, control, widget));
    site->setHandler(m_handler);
    // Connected before the host makes its first call, so events raised from
    // inside that call arrive.
    control->Advise(site.get());
    m_sites.push_back(site);
    return site.get();
}

ControlSite *ControlContainer::Item(const QString &name) const
{
    for (const auto &site : m_sites) {
        if (site->name().compare(name, Qt::CaseInsensitive) == 0)
            return site.get();
    }
    return nullptr;
}

bool ControlContainer::Remove(const QString &name)
{
    for (auto it = m_sites.begin(); it != m_sites.end(); ++it) {
        if ((*it)->name().compare(name, Qt::CaseInsensitive) == 0) {
            com::ComPtr<ControlSite> site = *it;
            m_sites.erase(it);
            site->disconnect();
            return true;
        }
    }
    return false;
}

QStringList ControlContainer::Names() const
{
    QStringList names;
    for (const auto &site : m_sites)
        names << site->name();
    return names;
}

} // namespace qvcontrols
