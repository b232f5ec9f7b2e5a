#include "NavToolbarTaskMenu.h"

#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/ppgToolbar.h"

#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

#include <QAction>

NavToolbarTaskMenu::NavToolbarTaskMenu(qvtoolbar::NavToolbar *bar, QObject *parent)
    : QObject(parent)
    , m_bar(bar)
    , m_edit(new QAction(QStringLiteral("编辑按钮..."), this))
{
    connect(m_edit, &QAction::triggered, this, &NavToolbarTaskMenu::EditButtons);
}

QAction *NavToolbarTaskMenu::preferredEditAction() const
{
    return m_edit;
}

QList<QAction *> NavToolbarTaskMenu::taskActions() const
{
    return {m_edit};
}

void NavToolbarTaskMenu::EditButtons()
{
    if (!m_bar)
        return;
    const QString before = m_bar->StoredProperties();
    qvtoolbar::ppgToolbar page(m_bar->window());
    page.SelectionChanged({m_bar.data()});
    const bool ok = page.exec() == QDialog::Accepted;
    if (!m_bar)
        return;
    const QString after = m_bar->StoredProperties();
    // The page works on the control itself; the form keeps the text.
    m_bar->setStoredProperties(before);
    if (!ok || after == before)
        return;
    if (QDesignerFormWindowInterface *form = QDesignerFormWindowInterface::findFormWindow(m_bar))
        form->cursor()->setProperty(QStringLiteral("StoredProperties"), after);
    else
        m_bar->setStoredProperties(after);
}
