#include "NavToolbarTaskMenuFactory.h"

#include "NavToolbarTaskMenu.h"
#include "toolbar/control/NavToolbar.h"

#include <QtDesigner/QDesignerTaskMenuExtension>

NavToolbarTaskMenuFactory::NavToolbarTaskMenuFactory(QExtensionManager *parent)
    : QExtensionFactory(parent)
{
}

QObject *NavToolbarTaskMenuFactory::createExtension(QObject *object, const QString &iid, QObject *parent) const
{
    if (iid != Q_TYPEID(QDesignerTaskMenuExtension))
        return nullptr;
    if (auto *bar = qobject_cast<qvtoolbar::NavToolbar *>(object))
        return new NavToolbarTaskMenu(bar, parent);
    return nullptr;
}
