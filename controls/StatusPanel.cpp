#include "controls/StatusPanel.h"

#include "controls/StatusBar.h"

#include <algorithm>

namespace qvcontrols {

void StatusPanel::setText(const QString &text)
{
    m_text = text;
    m_owner->update();
}

void StatusPanel::setWidth(int twips)
{
    m_width = std::max(0, twips);
    m_owner->update();
}

} // namespace qvcontrols
