#pragma once

#include "toolbar/QvToolbarExport.h"

#include <QObject>

#include <cstdint>

namespace qvtoolbar {

// Which zone of the bar the pointer is over, and which button is hot.
// Zones: 0 none (background, or the pointer left), 1 grip, 2 an item,
// 3 chevron.
class QVTOOLBAR_EXPORT clsState final : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    int32_t CtlOverState() const { return m_ctlOverState; }
    // A new zone raises StateChange(old, new) before it is stored, so
    // handlers still read the old one; zone 2 again with another item
    // raises StateChange(2, 2).
    void SetCtlOverState(int32_t v);
    int16_t ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int16_t v) { m_itemIndex = v; }
    int16_t OverItem() const { return m_overItem; }
    void SetOverItem(int16_t v) { m_overItem = v; }

Q_SIGNALS:
    void StateChange(int32_t OldState, int32_t NewState);

private:
    int32_t m_ctlOverState = 0;
    int16_t m_itemIndex = 0;
    int16_t m_overItem = 0;
};

} // namespace qvtoolbar
