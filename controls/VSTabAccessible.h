#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>

namespace qvcontrols {

class VSTab;

// One painted tab as a page tab of its strip's page tab list: named by its
// caption, selected and focused as the strip shows it, and selected by its
// press (or "select") action the way a click selects it. Owned by the
// accessibility cache; the tab removes it when it goes.
class VSTabAccessible final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit VSTabAccessible(VSTab *tab) : m_tab(tab) {}

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    VSTab *m_tab;
};

} // namespace qvcontrols
