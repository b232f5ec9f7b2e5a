#include "toolbar/control/NavToolbar.h"
#include "toolbar/drawing/clsSubclass.h"
#include "ui_FailedForm.h"
#include "ui_StoredForm.h"

#ifdef JX_HAS_DESIGNER_PLUGIN
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <QBuffer>
#include <QFileInfo>
#include <QPluginLoader>
#include <QUiLoader>
#endif

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>
#include "ProgramPaths.h"

using namespace qvtoolbar;

// A form file saved with a toolbar on it, compiled by uic: the generated
// code hands the stored text to the control, which reads it in run mode.
TEST(FormFile, CompiledFormRestoresTheStoredButtons)
{
    QWidget form;
    Ui::StoredForm ui;
    ui.setupUi(&form);
    ASSERT_EQ(ui.navToolbar->Buttons().Count(), 1);
    EXPECT_EQ(ui.navToolbar->Buttons().Item(QStringLiteral("form"))->Caption(), QStringLiteral("表单按钮"));
    EXPECT_EQ(ui.navToolbar->Buttons().Item(1)->iLeft(), 9);
    ASSERT_NE(ui.navToolbar->ParentSubclass(), nullptr);
    EXPECT_EQ(ui.navToolbar->ParentSubclass()->hwnd(), &form);
}

// A form whose stored buttons cannot all be read: its host, which gets the
// control from setupUi, learns why, and the buttons read before the fault
// are shown.
TEST(FormFile, AFailedReadReachesTheHostAndKeepsTheButtonsBefore)
{
    QWidget form;
    Ui::FailedForm ui;
    ui.setupUi(&form);
    NavToolbar *bar = ui.navToolbar;
    QSignalSpy failed(bar, &NavToolbar::StoredPropertiesFailed);
    const QString reason = bar->property("StoredPropertiesError").toString();
    EXPECT_TRUE(reason.startsWith(QStringLiteral("工具栏按钮未能读出"))) << qPrintable(reason);
    EXPECT_TRUE(reason.contains(QStringLiteral("DUP"))) << qPrintable(reason);
    QCoreApplication::sendPostedEvents(bar);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.first().first().toString(), reason);

    ASSERT_EQ(bar->Buttons().Count(), 1);
    EXPECT_EQ(bar->Buttons().Item(1)->Caption(), QStringLiteral("甲"));
    EXPECT_TRUE(bar->IsInitialised());
    EXPECT_EQ(bar->Buttons().Item(1)->iLeft(), 9);
    EXPECT_FALSE(bar->Surface().isNull());
    ASSERT_NE(bar->OwnSubclass(), nullptr);
    EXPECT_EQ(bar->OwnSubclass()->hwnd(), bar);

    // A good text afterwards clears the reason.
    NavToolbar good;
    good.InitProperties();
    good.AddButton(Button, QStringLiteral("乙"), QStringLiteral("b"));
    EXPECT_TRUE(bar->SetStoredProperties(good.StoredProperties()));
    EXPECT_EQ(bar->StoredPropertiesError(), QString());
}

#ifdef JX_HAS_DESIGNER_PLUGIN
TEST(FormFile, DesignerPluginPlacesTheControlAndLoadsItFromAForm)
{
    QPluginLoader loader(programPath("QVTOOLBAR_DESIGNER_PLUGIN"));
    auto *plugin = qobject_cast<QDesignerCustomWidgetInterface *>(loader.instance());
    ASSERT_TRUE(plugin) << qPrintable(loader.errorString());
    EXPECT_EQ(plugin->name(), QStringLiteral("qvtoolbar::NavToolbar"));
    EXPECT_EQ(plugin->includeFile(), QStringLiteral("toolbar/control/NavToolbar.h"));
    EXPECT_TRUE(plugin->domXml().contains(QStringLiteral("class=\"qvtoolbar::NavToolbar\"")));
    std::unique_ptr<QWidget> placed(plugin->createWidget(nullptr));
    auto *bar = qobject_cast<NavToolbar *>(placed.get());
    ASSERT_TRUE(bar);
    EXPECT_FALSE(bar->UserMode());
    EXPECT_TRUE(bar->IsInitialised());
    bar->AddButton(Button, QStringLiteral("设计"), QStringLiteral("d"));

    // What the form editor writes for the placed control, read back by a
    // form loader that finds the control through the plug-in.
    const QString ui = QStringLiteral("<ui version=\"4.0\"><class>F</class><widget class=\"QWidget\" name=\"F\">"
                                      "<widget class=\"qvtoolbar::NavToolbar\" name=\"bar\">"
                                      "<property name=\"StoredProperties\"><string>%1</string></property>"
                                      "</widget></widget></ui>")
                           .arg(bar->StoredProperties());
    QUiLoader uiLoader;
    uiLoader.clearPluginPaths();
    uiLoader.addPluginPath(QFileInfo(programPath("QVTOOLBAR_DESIGNER_PLUGIN")).absolutePath());
    QByteArray bytes = ui.toUtf8();
    QBuffer buffer(&bytes);
    std::unique_ptr<QWidget> form(uiLoader.load(&buffer));
    ASSERT_TRUE(form) << qPrintable(uiLoader.errorString());
    auto *loaded = form->findChild<NavToolbar *>(QStringLiteral("bar"));
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->Buttons().Count(), 1);
    EXPECT_EQ(loaded->Buttons().Item(QStringLiteral("d"))->Caption(), QStringLiteral("设计"));
}
#endif
