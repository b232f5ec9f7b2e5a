#include "extplugin/PluginParameters.h"

#include "extplugin/IExtPluginUI.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/Dispatchable.h"
#include "platform/com/ServerModule.h"

#include <vector>

QV_TYPE_LIBRARY("library qvExtPluginUI 1.0 {5D0C4F3E-2B7A-4E61-9C1D-8A2F6B3E7D10}\n"
                "interface _IExtPluginUI " QV_IID_IEXTPLUGINUI "\n"
                "interface _PluginParameter " QV_IID_PLUGINPARAMETER "\n"
                "coclass PluginParameters " QV_CLSID_PLUGINPARAMETERS "\n"
                "  implements _PluginParameters " QV_IID_PLUGINPARAMETERS "\n");

namespace extplugin {

namespace {

class PluginParameter final : public com::Dispatchable<PluginParameter>
{
public:
    static constexpr IID kInterfaceIid = IID_PluginParameter;
    static const com::MemberTable<PluginParameter> &members()
    {
        static const com::MemberTable<PluginParameter> table = com::MemberTable<PluginParameter>()
            .add(QStringLiteral("Value"), [](PluginParameter &self, const com::DispArgs &) { return self.m_value; },
                 [](PluginParameter &self, const com::DispArgs &, const VARIANT &v) { self.setValue(v); })
            .add(QStringLiteral("Name"),
                 [](PluginParameter &self, const com::DispArgs &) { return com::Variant::fromString(self.m_name); });
        return table;
    }

    explicit PluginParameter(QString name) : m_name(std::move(name)) {}
    const QString &name() const { return m_name; }
    void setValue(const VARIANT &v) { m_value = com::Variant::copyOf(com::deref(v)); }

private:
    QString m_name;
    com::Variant m_value;
};

class PluginParametersImpl final : public com::Dispatchable<PluginParametersImpl>
{
public:
    static constexpr IID kInterfaceIid = IID_PluginParameters;
    static const com::MemberTable<PluginParametersImpl> &members()
    {
        static const com::MemberTable<PluginParametersImpl> table = com::MemberTable<PluginParametersImpl>()
            .add(QStringLiteral("Add"), [](PluginParametersImpl &self, const com::DispArgs &a) {
                if (a.empty())
                    throw com::RuntimeError::of(com::errors::WrongArguments, QStringLiteral("PluginParameters"));
                const QString name = com::toQVariant(*a[0]).toString();
                PluginParameter *p = self.find(name);
                if (!p) {
                    p = new PluginParameter(name);
                    self.m_items.push_back(com::ComPtr<PluginParameter>::adopt(p));
                }
                if (a.size() > 2)
                    p->setValue(*a[2]);
                return com::Variant::fromDispatch(p);
            })
            .add(QStringLiteral("Item"), [](PluginParametersImpl &self, const com::DispArgs &a) {
                const com::Variant &key = a.empty() ? com::Variant() : com::Variant::copyOf(*a[0]);
                const QVariant k = com::toQVariant(key);
                PluginParameter *p = nullptr;
                if (k.typeId() == QMetaType::QString) {
                    p = self.find(k.toString());
                } else if (k.isValid()) {
                    const int index = k.toInt(); // 1-based, as collections count
                    if (index >= 1 && index <= static_cast<int>(self.m_items.size()))
                        p = self.m_items[static_cast<size_t>(index - 1)].get();
                }
                if (p)
                    return com::Variant::fromDispatch(p);
                // A name never added reads as an empty value.
                auto detached = com::ComPtr<PluginParameter>::adopt(new PluginParameter(k.toString()));
                return com::Variant::fromDispatch(detached.get());
            })
            .add(QStringLiteral("Count"), [](PluginParametersImpl &self, const com::DispArgs &) {
                return com::Variant::fromInt32(static_cast<int32_t>(self.m_items.size()));
            });
        return table;
    }

private:
    PluginParameter *find(const QString &name) const
    {
        for (const auto &p : m_items) {
            if (p->name().compare(name, Qt::CaseInsensitive) == 0)
                return p.get();
        }
        return nullptr;
    }
    std::vector<com::ComPtr<PluginParameter>> m_items;
};

// Loading this library makes the collection creatable by class id in the
// process, registered or not: every plug-in is built against it.
__attribute__((constructor)) void registerClasses()
{
    com::registerBuiltinClass(CLSID_PluginParameters, QStringLiteral("qvExtPluginUI.PluginParameters"),
                              [](REFIID iid, void **ppv) {
                                  auto *object = new PluginParametersImpl();
                                  const HRESULT hr = object->QueryInterface(iid, ppv);
                                  object->Release();
                                  return hr;
                              });
}

const com::ServedClass kServedClasses[] = {com::servedClass<PluginParametersImpl>(CLSID_PluginParameters)};

} // namespace

com::ComPtr<IDispatch> createPluginParameters()
{
    return com::ComPtr<IDispatch>::adopt(new PluginParametersImpl());
}

} // namespace extplugin

QV_SERVER_ENTRY_POINTS(extplugin::kServedClasses)
