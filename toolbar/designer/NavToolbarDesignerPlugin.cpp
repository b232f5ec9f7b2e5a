#include "NavToolbarDesignerPlugin.h"

#include "NavToolbarTaskMenuFactory.h"
#include "toolbar/control/NavToolbar.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>
#include <QtDesigner/QDesignerTaskMenuExtension>

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

using qvtoolbar::NavToolbar;

NavToolbarDesignerPlugin::NavToolbarDesignerPlugin(QObject *parent)
    : QObject(parent)
{
}

QString NavToolbarDesignerPlugin::name() const
{
    return QStringLiteral("qvtoolbar::NavToolbar");
}

QString NavToolbarDesignerPlugin::group() const
{
    return QStringLiteral("qvToolbar");
}

QString NavToolbarDesignerPlugin::toolTip() const
{
    return QStringLiteral("qvToolbar Control 1.0");
}

QString NavToolbarDesignerPlugin::whatsThis() const
{
    return QStringLiteral("工具栏: 渐变按钮栏");
}

QString NavToolbarDesignerPlugin::includeFile() const
{
    return QStringLiteral("toolbar/control/NavToolbar.h");
}

QIcon NavToolbarDesignerPlugin::icon() const
{
    // The toolbox picture: 16 x 15, a gradient bar with a grip and a button.
    QPixmap pixmap(16, 15);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    QLinearGradient bar(0, 3, 0, 12);
    bar.setColorAt(0, QColor(221, 236, 254));
    bar.setColorAt(1, QColor(129, 169, 226));
    p.fillRect(0, 3, 16, 9, bar);
    p.fillRect(1, 5, 1, 1, QColor(39, 65, 118));
    p.fillRect(1, 8, 1, 1, QColor(39, 65, 118));
    p.fillRect(4, 4, 6, 7, QColor(255, 213, 140));
    p.setPen(QColor(0, 0, 128));
    p.drawRect(4, 4, 5, 6);
    return QIcon(pixmap);
}

bool NavToolbarDesignerPlugin::isContainer() const
{
    return false;
}

QWidget *NavToolbarDesignerPlugin::createWidget(QWidget *parent)
{
    auto *bar = new NavToolbar(parent);
    bar->SetUserMode(false); // a form designer: no subclassing, drawing shown as it is
    bar->InitProperties();
    bar->SetTwipsSize(400 * 15, 29 * 15);
    return bar;
}

bool NavToolbarDesignerPlugin::isInitialized() const
{
    return m_initialized;
}

void NavToolbarDesignerPlugin::initialize(QDesignerFormEditorInterface *core)
{
    if (m_initialized || !core)
        return;
    core->extensionManager()->registerExtensions(new NavToolbarTaskMenuFactory(core->extensionManager()),
                                                 Q_TYPEID(QDesignerTaskMenuExtension));
    m_initialized = true;
}

QString NavToolbarDesignerPlugin::domXml() const
{
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"qvtoolbar::NavToolbar\" name=\"navToolbar\">\n"
                          "  <property name=\"geometry\"><rect><x>0</x><y>0</y><width>400</width><height>29</height></rect></property>\n"
                          " </widget>\n"
                          "</ui>\n");
}
