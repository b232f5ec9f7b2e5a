#include "toolbar/control/clsToolbarItemDispatch.h"

#include "toolbar/control/NavToolbarIds.h"

namespace qvtoolbar {

namespace {
QVariant arg(const VARIANT &v)
{
    return com::toQVariant(v);
}
} // namespace

clsToolbarItemDispatch::clsToolbarItemDispatch(ItemRef item)
    : com::DispatchImpl<IDispatch>(IID__clsToolbarItem)
    , m_item(std::move(item))
{
    clsToolbarItem *b = m_item.get();
    auto &m = members();
    m.add(QStringLiteral("Caption"), [b](const com::DispArgs &) { return com::Variant::fromString(b->Caption()); },
          [b](const com::DispArgs &, const VARIANT &v) { b->SetCaption(arg(v).toString()); });
    m.add(QStringLiteral("Key"), [b](const com::DispArgs &) { return com::Variant::fromString(b->Key()); },
          [b](const com::DispArgs &, const VARIANT &v) { b->SetKey(arg(v).toString()); });
    m.add(QStringLiteral("ToolTipText"),
          [b](const com::DispArgs &) { return com::Variant::fromString(b->TooltipText()); },
          [b](const com::DispArgs &, const VARIANT &v) { b->SetTooltipText(arg(v).toString()); });
    m.add(QStringLiteral("Value"), [b](const com::DispArgs &) { return com::Variant::fromBool(b->Value()); },
          [b](const com::DispArgs &, const VARIANT &v) { b->SetValue(arg(v).toBool()); });
    m.add(QStringLiteral("Enabled"), [b](const com::DispArgs &) { return com::Variant::fromBool(b->Enabled()); },
          [b](const com::DispArgs &, const VARIANT &v) { b->SetEnabled(arg(v).toBool()); });
    m.add(QStringLiteral("Visible"), [b](const com::DispArgs &) { return com::Variant::fromBool(b->Visible()); },
          [b](const com::DispArgs &, const VARIANT &v) { b->SetVisible(arg(v).toBool()); });
    m.add(QStringLiteral("Style"), [b](const com::DispArgs &) { return com::Variant::fromInt32(b->Style()); });
    m.add(QStringLiteral("btnType"), [b](const com::DispArgs &) { return com::Variant::fromInt32(b->btnType()); });
    m.add(QStringLiteral("State"), [b](const com::DispArgs &) { return com::Variant::fromInt32(b->State()); });
}

} // namespace qvtoolbar
