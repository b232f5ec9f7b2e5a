#pragma once

#include <QAccessibleWidget>

namespace qvcontrols {

class VSTabCtl;

// The tab strip as a page tab list whose children are its tabs, in order
// (hidden ones too, marked invisible, so indexes match the strip's).
class VSTabCtlAccessible final : public QAccessibleWidget
{
public:
    explicit VSTabCtlAccessible(VSTabCtl *strip);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    VSTabCtl *strip() const;
};

} // namespace qvcontrols
