#include "controls/Button2.h"
#include "controls/ControlClasses.h"
#include "controls/ControlContainer.h"

#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>
#include "ProgramPaths.h"

namespace {

const QString kLibrary = programPath("QV_TESTCONTROL_PATH");

struct Received
{
    QString control;
    QString event;
    QVariantList params;
};

class ContainerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        com::RegistryStore::setFilePath(m_dir.filePath(QStringLiteral("registry.json")));
        ASSERT_EQ(com::InprocServer::callRegistration(kLibrary, true), S_OK);
        qvcontrols::registerControlClasses();
        m_page.resize(600, 400);
    }
    void TearDown() override { com::RegistryStore::setFilePath(QString()); }

    // Records every event with its parameters as the host sees them.
    qvcontrols::ControlEventHandler recorder()
    {
        return [this](qvcontrols::ControlSite &site, const QString &event, const com::DispArgs &params) {
            Received r{site.name(), event, {}};
            for (VARIANT *p : params)
                r.params << com::toQVariant(*p);
            m_events.push_back(r);
        };
    }

    QTemporaryDir m_dir;
    QWidget m_page;
    std::vector<Received> m_events;
};

TEST_F(ContainerTest, ControlFromAnotherLibraryDeliversEventsInOrderWhileItsStartRuns)
{
    qvcontrols::ControlContainer container(recorder());
    qvcontrols::ControlSite *site = container.Add(QStringLiteral("qvTestCtl.Probe"), QStringLiteral("edit3"), &m_page);
    ASSERT_NE(site, nullptr);
    ASSERT_NE(site->widget(), nullptr);
    EXPECT_EQ(site->widget()->parentWidget(), &m_page);
    EXPECT_FALSE(site->widget()->isVisibleTo(&m_page)); // the host shows it when started

    const com::Variant result = com::call(site->object(), QStringLiteral("Py_Init"),
                                          {com::Variant(), com::Variant(), com::Variant::fromInt32(100027),
                                           com::Variant::fromBool(false)});
    EXPECT_TRUE(com::toQVariant(result).toBool());
    ASSERT_EQ(m_events.size(), 3u);
    EXPECT_EQ(m_events[0].control, QStringLiteral("edit3"));
    EXPECT_EQ(m_events[0].event, QStringLiteral("message"));
    EXPECT_EQ(m_events[0].params, QVariantList{QStringLiteral("正在启动")});
    EXPECT_EQ(m_events[1].event, QStringLiteral("errmessage"));
    EXPECT_EQ(m_events[1].params, (QVariantList{QStringLiteral("m"), 8, QStringLiteral("src")}));
    EXPECT_EQ(m_events[2].event, QStringLiteral("detaile"));
    EXPECT_EQ(m_events[2].params, (QVariantList{100027, QStringLiteral("42")}));

    // Geometry in twips at 15 twips per pixel.
    site->Move(0, 0, 9000, 6000);
    EXPECT_EQ(site->widget()->geometry(), QRect(0, 0, 600, 400));
    EXPECT_EQ(container.Item(QStringLiteral("EDIT3")), site);
}

TEST_F(ContainerTest, HostRemovesTheControlFromInsideItsStartCall)
{
    qvcontrols::ControlContainer container;
    bool unloadRequested = false;
    container.setHandler([&](qvcontrols::ControlSite &site, const QString &event, const com::DispArgs &params) {
        m_events.push_back({site.name(), event, {}});
        if (event == QLatin1String("unload") && com::toQVariant(*params.at(0)).toBool()) {
            unloadRequested = true;
            com::call(site.object(), QStringLiteral("Clear"));
            EXPECT_TRUE(container.Remove(site.name()));
        }
    });
    qvcontrols::ControlSite *site = container.Add(QStringLiteral("qvTestCtl.Probe"), QStringLiteral("edit"), &m_page);
    com::ComPtr<IDispatch> object(site->object()); // the host's own reference for the call
    const com::Variant result = com::call(object.get(), QStringLiteral("Py_Init"),
                                          {com::Variant(), com::Variant(), com::Variant::fromInt32(7),
                                           com::Variant::fromBool(true)});
    EXPECT_TRUE(com::toQVariant(result).toBool());
    EXPECT_TRUE(unloadRequested);
    EXPECT_EQ(container.Count(), 0);
    EXPECT_EQ(container.Item(QStringLiteral("edit")), nullptr);
    // The control finished its start call unharmed and saw Clear from inside it.
    EXPECT_EQ(com::toQVariant(com::get(object.get(), QStringLiteral("Log"))).toString(),
              QStringLiteral("init-begin,clear,init-end"));
    ASSERT_EQ(m_events.size(), 4u);
    EXPECT_EQ(m_events.back().event, QStringLiteral("unload"));
}

TEST_F(ContainerTest, AFailureInTheHostsHandlingReachesTheCallerOfTheControl)
{
    qvcontrols::ControlContainer container([](qvcontrols::ControlSite &, const QString &event, const com::DispArgs &) {
        if (event == QLatin1String("detaile"))
            throw com::RuntimeError(3021, QStringLiteral("Database"), QStringLiteral("no current record"));
    });
    qvcontrols::ControlSite *site = container.Add(QStringLiteral("qvTestCtl.Probe"), QStringLiteral("edit"), &m_page);
    try {
        com::call(site->object(), QStringLiteral("Py_Init"),
                  {com::Variant(), com::Variant(), com::Variant::fromInt32(1), com::Variant::fromBool(false)});
        FAIL() << "the handler's error was lost";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 3021);
        EXPECT_EQ(e.description(), QStringLiteral("no current record"));
    }
    // The start call stopped where the event was raised.
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("Log"))).toString(), QStringLiteral("init-begin"));
}

TEST_F(ContainerTest, OwnControlsByClassNameRaiseTheirEventsAndTakeProperties)
{
    qvcontrols::ControlContainer container(recorder());
    qvcontrols::ControlSite *site = container.Add(QStringLiteral("qvButton2.Button2"), QStringLiteral("ImgRpt"), &m_page);
    com::put(site->object(), QStringLiteral("Caption"), com::Variant::fromString(QStringLiteral("  报表  ")));
    com::put(site->object(), QStringLiteral("Index"), com::Variant::fromInt32(4));
    auto *button = qobject_cast<qvcontrols::Button2 *>(site->widget());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Caption(), QStringLiteral("  报表  "));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("报表"));
    com::call(site->object(), QStringLiteral("Move"), {com::Variant::fromInt32(150), com::Variant::fromInt32(300),
                                                        com::Variant::fromInt32(1500), com::Variant::fromInt32(450)});
    EXPECT_EQ(button->geometry(), QRect(10, 20, 100, 30));
    // Width by name is the control's twips, not the widget's pixels.
    com::put(site->object(), QStringLiteral("width"), com::Variant::fromInt32(1560));
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("Width"))).toInt(), 1560);
    EXPECT_EQ(button->width(), 104);
    EXPECT_EQ(com::toQVariant(com::get(site->object(), QStringLiteral("Visible"))).toBool(), false);
    com::put(site->object(), QStringLiteral("Visible"), com::Variant::fromBool(true));
    m_page.show();
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(m_events.size(), 1u);
    EXPECT_EQ(m_events[0].event, QStringLiteral("Click"));
    EXPECT_EQ(m_events[0].params, QVariantList{4});
}

TEST_F(ContainerTest, RefusesUnknownClassesTakenNamesAndObjectsThatAreNoControls)
{
    qvcontrols::ControlContainer container;
    EXPECT_THROW(container.Add(QStringLiteral("JxEdit.nothing"), QStringLiteral("edit1"), &m_page), com::RuntimeError);
    container.Add(QStringLiteral("qvPanel.Panel"), QStringLiteral("edit1"), &m_page);
    try {
        container.Add(QStringLiteral("qvPanel.Panel"), QStringLiteral("Edit1"), &m_page);
        FAIL() << "second control under one name";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 727);
    }
    // The archive control is an automation object without a widget.
    try {
        container.Add(QStringLiteral("qvZlib.zLibControl"), QStringLiteral("zip"), &m_page);
        FAIL() << "a non-control was added";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 438);
    }
    EXPECT_EQ(container.Names(), QStringList{QStringLiteral("edit1")});
}

} // namespace
