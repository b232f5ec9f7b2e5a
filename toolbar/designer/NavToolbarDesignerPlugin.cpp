#include "NavToolbarDesignerPlugin.h"

#include "NavToolbarTaskMenuFactory.h"
#include "toolbar/control/NavToolbar.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>
#include <QtDesigner/QDesignerTaskMenuExtension>

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
    return QIcon();
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
