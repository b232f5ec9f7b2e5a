#include "toolbar/control/clsToolbarItemDispatch.h"

#include "toolbar/control/NavToolbarIds.h"

namespace qvtoolbar {

namespace {
QVariant arg(const VARIANT &v)
{
    return com::toQVariant(v);
}
} // namespace

const com::MemberTable<clsToolbarItemDispatch> &clsToolbarItemDispatch::members()
{
    using Self = clsToolbarItemDispatch;
    // Each member reads and writes the button itself.
    static const com::MemberTable<Self> table = com::MemberTable<Self>()
        .add(QStringLiteral("Caption"), [](Self &s, const com::DispArgs &) { return com::Variant::fromString(s.m_item->Caption()); },
             [](Self &s, const com::DispArgs &, const VARIANT &v) { s.m_item->SetCaption(arg(v).toString()); })
        .add(QStringLiteral("Key"), [](Self &s, const com::DispArgs &) { return com::Variant::fromString(s.m_item->Key()); },
             [](Self &s, const com::DispArgs &, const VARIANT &v) { s.m_item->SetKey(arg(v).toString()); })
        .add(QStringLiteral("ToolTipText"),
             [](Self &s, const com::DispArgs &) { return com::Variant::fromString(s.m_item->TooltipText()); },
             [](Self &s, const com::DispArgs &, const VARIANT &v) { s.m_item->SetTooltipText(arg(v).toString()); })
        .add(QStringLiteral("Value"), [](Self &s, const com::DispArgs &) { return com::Variant::fromBool(s.m_item->Value()); },
             [](Self &s, const com::DispArgs &, const VARIANT &v) { s.m_item->SetValue(arg(v).toBool()); })
        .add(QStringLiteral("Enabled"), [](Self &s, const com::DispArgs &) { return com::Variant::fromBool(s.m_item->Enabled()); },
             [](Self &s, const com::DispArgs &, const VARIANT &v) { s.m_item->SetEnabled(arg(v).toBool()); })
        .add(QStringLiteral("Visible"), [](Self &s, const com::DispArgs &) { return com::Variant::fromBool(s.m_item->Visible()); },
             [](Self &s, const com::DispArgs &, const VARIANT &v) { s.m_item->SetVisible(arg(v).toBool()); })
        .add(QStringLiteral("Style"), [](Self &s, const com::DispArgs &) { return com::Variant::fromInt32(s.m_item->Style()); })
        .add(QStringLiteral("btnType"), [](Self &s, const com::DispArgs &) { return com::Variant::fromInt32(s.m_item->btnType()); })
        .add(QStringLiteral("State"), [](Self &s, const com::DispArgs &) { return com::Variant::fromInt32(s.m_item->State()); });
    return table;
}

} // namespace qvtoolbar
