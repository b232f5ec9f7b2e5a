#include "controls/zLibObject.h"

namespace qvcontrols {

const com::MemberTable<zLibObject> &zLibObject::members()
{
    static const com::MemberTable<zLibObject> table = com::MemberTable<zLibObject>()
        .add(QStringLiteral("ExtractArchive"), [](zLibObject &self, const com::DispArgs &a) {
            const auto text = [&a](size_t i) { return i < a.size() ? com::toQVariant(*a[i]).toString() : QString(); };
            const auto flag = [&a](size_t i) { return i < a.size() && com::toQVariant(*a[i]).toBool(); };
            return com::Variant::fromBool(self.m_control.ExtractArchive(text(0), text(1), flag(2), flag(3), flag(4),
                                                                        flag(5), flag(6), flag(7)));
        })
        .add(QStringLiteral("LastError"), [](zLibObject &self, const com::DispArgs &) {
            return com::Variant::fromString(self.m_control.LastError());
        });
    return table;
}

} // namespace qvcontrols
