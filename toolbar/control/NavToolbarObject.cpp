#include "toolbar/control/NavToolbarObject.h"

#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/NavToolbarIds.h"

#include "platform/com/RuntimeError.h"

namespace qvtoolbar {

namespace {
QVariant arg(const com::DispArgs &a, size_t i)
{
    return i < a.size() ? com::toQVariant(*a[i]) : QVariant();
}
} // namespace

NavToolbarObject::NavToolbarObject() : m_control(new NavToolbar)
{
    m_control->InitProperties();
}

NavToolbar *NavToolbarObject::live() const
{
    if (!m_control)
        throw com::RuntimeError(424, QStringLiteral("qvToolbar"), QStringLiteral("对象已不存在"));
    return m_control.data();
}

const com::MemberTable<NavToolbarObject> &NavToolbarObject::members()
{
    using Self = NavToolbarObject;
    static const com::MemberTable<Self> table = com::MemberTable<Self>()
        .add(QStringLiteral("ThemeColor"),
             [](Self &self, const com::DispArgs &) { return com::Variant::fromInt32(self.live()->ThemeColor()); },
             [](Self &self, const com::DispArgs &, const VARIANT &v) {
                 self.live()->SetThemeColor(static_cast<ThemeConst>(com::toQVariant(v).toInt()));
             })
        .add(QStringLiteral("SkinID"),
             [](Self &self, const com::DispArgs &) { return com::Variant::fromString(self.live()->SkinID()); },
             [](Self &self, const com::DispArgs &, const VARIANT &v) { self.live()->SetSkinID(com::toQVariant(v).toString()); })
        // AddButton(type, caption, key, ...): the common leading arguments.
        .add(QStringLiteral("AddButton"), [](Self &self, const com::DispArgs &a) {
            return com::Variant::fromInt16(self.live()->AddButton(static_cast<BtnTypeCont>(arg(a, 0).toInt()),
                                                                  arg(a, 1).toString(), arg(a, 2).toString()));
        })
        .add(QStringLiteral("ButtonCount"),
             [](Self &self, const com::DispArgs &) { return com::Variant::fromInt32(self.live()->Buttons().Count()); })
        .add(QStringLiteral("AutoResize"), [](Self &self, const com::DispArgs &a) {
            self.live()->AutoResize(a.empty() ? int16_t(1) : static_cast<int16_t>(arg(a, 0).toInt()));
            return com::Variant();
        })
        .add(QStringLiteral("Redraw"), [](Self &self, const com::DispArgs &) {
            self.live()->Redraw();
            return com::Variant();
        })
        .add(QStringLiteral("EventSink"), [](Self &, const com::DispArgs &) { return com::Variant(); },
             [](Self &self, const com::DispArgs &, const VARIANT &v) { self.live()->SetEventSink(com::asDispatch(v)); });
    return table;
}

NavToolbar *NavToolbarObject::control() const
{
    return m_control.data();
}

NavToolbarObject::~NavToolbarObject()
{
    if (m_control && !m_control->parent())
        delete m_control.data();
}

} // namespace qvtoolbar
