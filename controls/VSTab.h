#pragma once

#include "jx_controls_export.h"

#include <QAccessible>
#include <QString>

namespace qvcontrols {

class VSTabCtl;

// One tab of the tab strip, owned by it and valid until it is removed.
class JX_CONTROLS_EXPORT VSTab final
{
public:
    VSTab(VSTabCtl *owner, QString caption, QString key) : m_owner(owner), m_caption(std::move(caption)), m_key(std::move(key)) {}
    ~VSTab();
    VSTab(const VSTab &) = delete;
    VSTab &operator=(const VSTab &) = delete;

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QString Key() const { return m_key; }
    // 1-based position in the strip.
    int Index() const;
    bool Selected() const;
    // Selecting raises the strip's leave and enter events.
    void setSelected(bool selected);
    // A hidden tab keeps its place and index but is neither drawn nor clickable.
    bool Hidden() const { return m_hidden; }
    void setHidden(bool hidden);
    // Closable tabs show a close button and close on a middle click.
    bool Closable() const { return m_closable; }
    void setClosable(bool closable);

    VSTabCtl *owner() const { return m_owner; }
    // The tab's accessible object, made on first request and gone with the tab.
    QAccessibleInterface *accessible();

private:
    VSTabCtl *m_owner;
    QString m_caption;
    QString m_key;
    bool m_hidden = false;
    bool m_closable = true;
    QAccessible::Id m_accessibleId = 0;
};

} // namespace qvcontrols
