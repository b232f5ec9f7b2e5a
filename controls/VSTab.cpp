#include "controls/VSTab.h"

#include "controls/VSTabAccessible.h"
#include "controls/VSTabCtl.h"

namespace qvcontrols {

VSTab::~VSTab()
{
    if (m_accessibleId != 0)
        QAccessible::deleteAccessibleInterface(m_accessibleId);
}

QAccessibleInterface *VSTab::accessible()
{
    if (m_accessibleId == 0)
        m_accessibleId = QAccessible::registerAccessibleInterface(new VSTabAccessible(this));
    return QAccessible::accessibleInterface(m_accessibleId);
}

void VSTab::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    m_owner->Refresh();
    m_owner->notifyAccessible(this, QAccessible::NameChanged);
}

int VSTab::Index() const
{
    return m_owner->indexOf(this);
}

bool VSTab::Selected() const
{
    return m_owner->SelectedTab() == this;
}

void VSTab::setSelected(bool selected)
{
    if (selected)
        m_owner->select(this);
    else if (Selected())
        m_owner->select(nullptr);
}

void VSTab::setHidden(bool hidden)
{
    m_hidden = hidden;
    m_owner->Refresh();
    m_owner->notifyAccessible(this, QAccessible::StateChanged);
}

void VSTab::setClosable(bool closable)
{
    m_closable = closable;
    m_owner->Refresh();
}

} // namespace qvcontrols
