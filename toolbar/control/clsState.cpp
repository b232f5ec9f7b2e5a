#include "toolbar/control/clsState.h"

namespace qvtoolbar {

void clsState::SetCtlOverState(int32_t v)
{
    if (v != m_ctlOverState) {
        const int32_t old = m_ctlOverState;
        Q_EMIT StateChange(old, v);
        m_ctlOverState = v;
    } else if (v == 2 && m_itemIndex != m_overItem) {
        Q_EMIT StateChange(2, 2);
    }
}

} // namespace qvtoolbar
