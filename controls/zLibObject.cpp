#include "controls/zLibObject.h"

namespace qvcontrols {

zLibObject::zLibObject()
{
    members().add(QStringLiteral("ExtractArchive"), [this](const com::DispArgs &a) {
        const auto text = [&a](size_t i) { return i < a.size() ? com::toQVariant(*a[i]).toString() : QString(); };
        const auto flag = [&a](size_t i) { return i < a.size() && com::toQVariant(*a[i]).toBool(); };
        return com::Variant::fromBool(m_control.ExtractArchive(text(0), text(1), flag(2), flag(3), flag(4), flag(5),
                                                               flag(6), flag(7)));
    });
    members().add(QStringLiteral("LastError"),
                  [this](const com::DispArgs &) { return com::Variant::fromString(m_control.LastError()); });
}

} // namespace qvcontrols
