#pragma once

#include "toolbar/QvToolbarExport.h"
#include "toolbar/control/StdPicture.h"
#include "toolbar/control/clsToolbarItem.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <vector>

namespace qvtoolbar {

using ItemRef = std::shared_ptr<clsToolbarItem>;

// The toolbar's buttons in display order: 1-based positions, optional
// unique keys compared without regard to letter case.
class QVTOOLBAR_EXPORT clsItems final
{
public:
    // Error number of every error the collection raises (0x80042711).
    static constexpr int32_t kErrorNumber = -2147211503;

    // Adds a new enabled button; throws com::RuntimeError on a duplicate key.
    ItemRef AddItemEx(const QString &strCaption, const QString &Key, PictureRef IconPicture,
                      bool bVisible = true);
    int32_t Count() const;
    // By position (a number) or key (a string); null when not present.
    ItemRef Item(const QVariant &vntIndexKey) const;
    ItemRef Item(int32_t position) const;
    ItemRef Item(const QString &key) const;
    // Copies twenty properties from source to destination (not Tag, not
    // bounds); always false.
    static bool CopyItem(clsToolbarItem *pDest, const clsToolbarItem *pSource);
    // Removes by position or key; throws com::RuntimeError when not present.
    bool Remove(const QVariant &vntIndexKey);
    bool Exists(const QVariant &vntIndexKey) const;
    // Tallest button (separators and hidden ones included), in twips,
    // never below 435 twips.
    int32_t MaxItemHeight() const;
    // Library-internal: swaps the keys the collection knows two positions
    // by, so that a key follows content moved between them (1-based).
    void SwapKeys(int32_t a, int32_t b);

    // Iteration in display order.
    std::vector<ItemRef>::const_iterator begin() const { return m_items.begin(); }
    std::vector<ItemRef>::const_iterator end() const { return m_items.end(); }

private:
    int32_t IndexOf(const QVariant &vntIndexKey) const; // 0-based, -1 when absent

    std::vector<ItemRef> m_items;
    std::vector<QString> m_keys; // parallel to m_items; empty = no key
};

} // namespace qvtoolbar
