#include "components/controls/VSTab.h"

#include "components/controls/VSTabCtl.h"

namespace qvcontrols {

void VSTab::setCaption(const QString &caption)
{
    m_caption = caption;
    m_owner->Refresh();
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
}

void VSTab::setClosable(bool closable)
{
    m_closable = closable;
    m_owner->Refresh();
}

} // namespace qvcontrols
