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

NavToolbarObject::NavToolbarObject()
    : com::DispatchImpl<IDispatch>(IID__NavToolbar)
    , m_control(new NavToolbar)
{
    m_control->InitProperties();
    // Every member reaches the control through this, which refuses once the
    // host's window has deleted it.
    auto c = [this]() -> NavToolbar * {
        if (!m_control)
            throw com::RuntimeError(424, QStringLiteral("qvToolbar"), QStringLiteral("对象已不存在"));
        return m_control.data();
    };
    auto &m = members();
    m.add(QStringLiteral("ThemeColor"), [c](const com::DispArgs &) { return com::Variant::fromInt32(c()->ThemeColor()); },
          [c](const com::DispArgs &, const VARIANT &v) {
              c()->SetThemeColor(static_cast<ThemeConst>(com::toQVariant(v).toInt()));
          });
    m.add(QStringLiteral("SkinID"), [c](const com::DispArgs &) { return com::Variant::fromString(c()->SkinID()); },
          [c](const com::DispArgs &, const VARIANT &v) { c()->SetSkinID(com::toQVariant(v).toString()); });
    // AddButton(type, caption, key, ...): the common leading arguments.
    m.add(QStringLiteral("AddButton"), [c](const com::DispArgs &a) {
        return com::Variant::fromInt16(c()->AddButton(static_cast<BtnTypeCont>(arg(a, 0).toInt()), arg(a, 1).toString(),
                                                    arg(a, 2).toString()));
    });
    m.add(QStringLiteral("ButtonCount"),
          [c](const com::DispArgs &) { return com::Variant::fromInt32(c()->Buttons().Count()); });
    m.add(QStringLiteral("AutoResize"), [c](const com::DispArgs &a) {
        c()->AutoResize(a.empty() ? int16_t(1) : static_cast<int16_t>(arg(a, 0).toInt()));
        return com::Variant();
    });
    m.add(QStringLiteral("Redraw"), [c](const com::DispArgs &) {
        c()->Redraw();
        return com::Variant();
    });
    m.add(QStringLiteral("EventSink"), [](const com::DispArgs &) { return com::Variant(); },
          [c](const com::DispArgs &, const VARIANT &v) { c()->SetEventSink(com::asDispatch(v)); });
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
