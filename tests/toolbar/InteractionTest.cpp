#include "ToolbarTestUtil.h"

#include "platform/com/Dispatchable.h"
#include "platform/com/LateBound.h"
#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/NavToolbarIds.h"
#include "toolbar/control/PropertyBag.h"
#include "toolbar/control/clsState.h"
#include "toolbar/drawing/clsSubclass.h"
#include "toolbar/drawing/clsToolTip.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace qvtoolbar;

namespace {

// Buttons (pinned metrics): 1 "B1" 9-36, 2 "B2" 36-63, 3 "B3" 63-90,
// 4 separator 90-96, 5 check "C" 96-118, 6 drop-down "D" 118-155,
// 7 disabled "X" 155-177; the bar is 400 x 29 with the chevron at 387.
struct Fixture
{
    tbtest::PinnedMetrics pin;
    QWidget host;
    NavToolbar *bar = nullptr;
    std::vector<std::pair<int, int>> changes;
    std::vector<QString> hovers;
    std::vector<QString> clicks;

    explicit Fixture(bool subclassed = true)
    {
        bar = new NavToolbar(&host);
        bar->InitProperties();
        bar->SetTwipsSize(400 * 15, 29 * 15);
        bar->AddButton(Button, QStringLiteral("B1"), QStringLiteral("b1"));
        bar->AddButton(Button, QStringLiteral("B2"), QStringLiteral("b2"));
        bar->AddButton(Button, QStringLiteral("B3"));
        bar->AddButton(Separator);
        bar->AddButton(Button, QStringLiteral("C"), QString(), nullptr, 16, IconLeftTextRight, QString(),
                       int32_t(0x80000008), nullptr, CheckButton);
        bar->AddButton(Button, QStringLiteral("D"), QString(), nullptr, 16, IconLeftTextRight, QString(),
                       int32_t(0x80000008), nullptr, DropdownButton);
        bar->AddButton(Button, QStringLiteral("X"));
        bar->Buttons().Item(7)->SetEnabled(false);
        bar->Buttons().Item(2)->SetTooltipText(QStringLiteral("第二个按钮"));
        if (subclassed) {
            // A host form loading its saved control: this installs the subclassing.
            PropertyBag bag;
            bar->WriteProperties(bag);
            bar->ReadProperties(bag);
        } else {
            bar->Calculate_Size(1);
            bar->Redraw();
        }
        QObject::connect(&bar->CtlState(), &clsState::StateChange,
                         [this](int32_t o, int32_t n) { changes.emplace_back(o, n); });
        QObject::connect(bar, &NavToolbar::HoverItem,
                         [this](ItemRef b) { hovers.push_back(b ? b->Caption() : QStringLiteral("<none>")); });
        QObject::connect(bar, &NavToolbar::ItemClick, [this](ItemRef b, int32_t x, int32_t y) {
            clicks.push_back(QStringLiteral("click %1 %2 %3").arg(b->Caption()).arg(x).arg(y));
        });
        QObject::connect(bar, &NavToolbar::DropdownClick, [this](ItemRef b, int32_t x, int32_t y) {
            clicks.push_back(QStringLiteral("dropdown %1 %2 %3").arg(b->Caption()).arg(x).arg(y));
        });
        QObject::connect(bar, &NavToolbar::MouseRightClick, [this] { clicks.push_back(QStringLiteral("right")); });
    }

    void send(QEvent::Type type, int x, int y = 10, Qt::MouseButton button = Qt::NoButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
        QMouseEvent e(type, QPointF(x, y), bar->mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &e);
    }
    void move(int x, int y = 10) { send(QEvent::MouseMove, x, y); }
    void click(int x, Qt::MouseButton b = Qt::LeftButton)
    {
        send(QEvent::MouseButtonPress, x, 10, b);
        send(QEvent::MouseButtonRelease, x, 10, b);
    }
    ItemRef item(int i) const { return bar->Buttons().Item(i); }
    QRgb face(int i) const { return bar->Surface().pixel(item(i)->BoundsLeft() + 6, 3); }
};

} // namespace

TEST(Interaction, MovingFromButtonTwoStraightOntoThree)
{
    Fixture f;
    const QRgb rest = f.face(2);
    f.move(40);
    EXPECT_EQ(f.changes, (std::vector<std::pair<int, int>>{{0, 2}}));
    const QRgb hot = f.face(2);
    EXPECT_NE(hot, rest);
    f.move(70);
    EXPECT_EQ(f.changes.back(), std::make_pair(2, 2));
    EXPECT_EQ(f.face(2), rest);
    EXPECT_EQ(f.face(3), hot);
    EXPECT_EQ(f.hovers, (std::vector<QString>{QStringLiteral("B2"), QStringLiteral("B3")}));
    EXPECT_EQ(f.item(3)->State(), STA_OVER);
    EXPECT_EQ(f.item(2)->State(), STA_NORMAL);
    EXPECT_EQ(f.bar->CtlState().OverItem(), 3);

    // Within one button: a hover at every movement, nothing drawn.
    const QImage before = f.bar->Surface().copy();
    const size_t changes = f.changes.size();
    f.move(71);
    f.move(80, 20);
    EXPECT_EQ(f.hovers.size(), 4u);
    EXPECT_EQ(f.hovers.back(), QStringLiteral("B3"));
    EXPECT_EQ(f.changes.size(), changes);
    EXPECT_EQ(f.bar->Surface(), before);
}

TEST(Interaction, BalloonTipIsRebuiltOverItemsAndGoneElsewhere)
{
    Fixture f;
    clsToolTip *tip = f.bar->ToolTip();
    f.move(40);
    ASSERT_TRUE(tip->IsCreated());
    EXPECT_EQ(tip->Style(), 1);
    EXPECT_EQ(tip->TipText(), QStringLiteral("第二个按钮"));
    EXPECT_EQ(tip->VisibleTime(), 2000);
    EXPECT_EQ(tip->DelayTime(), 300);
    f.move(70);
    EXPECT_TRUE(tip->IsCreated());
    EXPECT_EQ(tip->TipText(), QString());
    f.move(300);
    EXPECT_FALSE(tip->IsCreated());
}

TEST(Interaction, SeparatorPressDrawsNothingAndReleaseRaisesNothing)
{
    Fixture f;
    f.move(92);
    const QImage before = f.bar->Surface().copy();
    f.click(92);
    EXPECT_EQ(f.bar->Surface(), before);
    EXPECT_TRUE(f.clicks.empty());
    EXPECT_EQ(f.hovers, (std::vector<QString>{QStringLiteral("<none>"), QStringLiteral("<none>"),
                                              QStringLiteral("<none>")}));
    // Over a separator after a hot button, the hover names that button.
    f.move(40);
    f.move(92);
    EXPECT_EQ(f.hovers.back(), QStringLiteral("B2"));
}

TEST(Interaction, DropdownArrowZoneIsTheLastSixteenPixels)
{
    Fixture f;
    const int right = f.item(6)->BoundsRight();
    ASSERT_EQ(right, 155);
    f.click(right - 16);
    f.click(right - 17);
    EXPECT_EQ(f.clicks, (std::vector<QString>{QStringLiteral("dropdown D 139 10"), QStringLiteral("click D 138 10")}));
    EXPECT_EQ(f.item(6)->State(), STA_NORMAL);
}

TEST(Interaction, CheckButtonTogglesAndIsDrawnSelected)
{
    Fixture f;
    const QRgb rest = f.face(5);
    f.click(100);
    EXPECT_TRUE(f.item(5)->Value());
    EXPECT_EQ(f.item(5)->State(), STA_SELECTED);
    const QRgb selected = f.face(5);
    EXPECT_NE(selected, rest);
    // The evaluation of the next move reports it over, though it stays drawn selected.
    f.move(101);
    EXPECT_EQ(f.item(5)->State(), STA_OVER);
    EXPECT_EQ(f.face(5), selected);
    f.move(40);
    EXPECT_EQ(f.item(5)->State(), STA_NORMAL);
    f.click(100);
    EXPECT_FALSE(f.item(5)->Value());
    EXPECT_EQ(f.item(5)->State(), STA_NORMAL);
    EXPECT_EQ(f.face(5), rest);
    EXPECT_EQ(f.clicks, (std::vector<QString>{QStringLiteral("click C 100 10"), QStringLiteral("click C 100 10")}));
}

TEST(Interaction, DisabledButtonIsNeverHotNorClicked)
{
    Fixture f;
    f.move(40);
    const QRgb rest = f.face(7);
    f.move(160);
    EXPECT_EQ(f.bar->CtlState().CtlOverState(), 0);
    EXPECT_EQ(f.item(7)->State(), STA_DISABLED);
    EXPECT_EQ(f.item(2)->State(), STA_NORMAL);
    f.click(160);
    EXPECT_TRUE(f.clicks.empty());
    EXPECT_EQ(f.face(7), rest);
}

TEST(Interaction, PressOnOneReleaseOnTwoClicksTwo)
{
    Fixture f;
    f.send(QEvent::MouseButtonPress, 12, 10, Qt::LeftButton);
    EXPECT_EQ(f.item(1)->State(), STA_PRESSED);
    f.send(QEvent::MouseButtonRelease, 45, 10, Qt::LeftButton);
    EXPECT_EQ(f.clicks, (std::vector<QString>{QStringLiteral("click B2 45 10")}));
}

TEST(Interaction, RightButtonPressesAndClicksLikeTheLeft)
{
    Fixture f;
    const QRgb rest = f.face(1);
    f.send(QEvent::MouseButtonPress, 12, 10, Qt::RightButton);
    EXPECT_EQ(f.item(1)->State(), STA_PRESSED);
    EXPECT_NE(f.face(1), rest);
    f.send(QEvent::MouseButtonRelease, 12, 10, Qt::RightButton);
    EXPECT_EQ(f.clicks, (std::vector<QString>{QStringLiteral("click B1 12 10")}));
    // After a click the button rests although the pointer is still on it.
    EXPECT_EQ(f.face(1), rest);
}

TEST(Interaction, GripAndChevronZones)
{
    Fixture f;
    f.move(40);
    f.move(390);
    EXPECT_EQ(f.bar->CtlState().CtlOverState(), 3);
    EXPECT_EQ(f.changes.back(), std::make_pair(2, 3));
    const QRgb hotChevron = f.bar->Surface().pixel(395, 14);
    f.move(4);
    EXPECT_EQ(f.bar->CtlState().CtlOverState(), 1);
    EXPECT_NE(f.bar->Surface().pixel(395, 14), hotChevron);
    f.click(390);
    EXPECT_TRUE(f.clicks.empty());
}

TEST(Interaction, LeavingRestsTheHotButtonOnlyWithSubclassing)
{
    Fixture f;
    const QRgb rest = f.face(2);
    f.move(40);
    EXPECT_TRUE(f.bar->LeaveTrackingRequested());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(f.bar, &leave);
    EXPECT_EQ(f.bar->CtlState().CtlOverState(), 0);
    EXPECT_EQ(f.face(2), rest);
    EXPECT_FALSE(f.bar->LeaveTrackingRequested());

    Fixture fresh(false);
    EXPECT_EQ(fresh.bar->OwnSubclass(), nullptr);
    fresh.move(40);
    QCoreApplication::sendEvent(fresh.bar, &leave);
    EXPECT_EQ(fresh.bar->CtlState().CtlOverState(), 2);
    EXPECT_NE(fresh.face(2), rest);
}

TEST(Interaction, HostThemeChangeRaisesThemeChanged)
{
    Fixture f;
    int raised = 0;
    QObject::connect(f.bar, &NavToolbar::ThemeChanged, [&] { ++raised; });
    QEvent theme(QEvent::ThemeChange);
    QCoreApplication::sendEvent(&f.host, &theme);
    QEvent palette(QEvent::PaletteChange);
    QCoreApplication::sendEvent(&f.host, &palette);
    EXPECT_EQ(raised, 1);
}

TEST(Interaction, OwnRepaintKeepsTheHotButtonAPlatformRepaintRestsIt)
{
    Fixture f;
    f.host.resize(420, 40);
    f.host.show();
    QApplication::processEvents();
    const QRgb rest = f.face(2);
    f.move(40);
    QApplication::processEvents(); // the repaint the control asked for
    EXPECT_NE(f.face(2), rest);
    EXPECT_EQ(f.item(2)->State(), STA_OVER);
    f.bar->repaint(); // as after being covered
    EXPECT_EQ(f.face(2), rest);
}

namespace {
// An automation host's event sink: records dispatch id and arguments.
struct RecordingSink final : com::Dispatchable<RecordingSink>
{
    std::vector<QString> seen;
    HRESULT Invoke(DISPID id, REFIID, LCID, uint16_t, DISPPARAMS *p, VARIANT *, EXCEPINFO *, uint32_t *) override
    {
        QString line = QString::number(id);
        for (int i = int(p->cArgs) - 1; i >= 0; --i) {
            const VARIANT &v = p->rgvarg[i];
            if (IDispatch *o = com::asDispatch(v))
                line += QLatin1Char(' ') + com::toQVariant(com::get(o, QStringLiteral("Caption"))).toString();
            else
                line += QLatin1Char(' ') + com::toQVariant(v).toString();
        }
        seen.push_back(line);
        return S_OK;
    }
};
} // namespace

TEST(Interaction, AutomationHostGetsTheEventsByDispatchId)
{
    Fixture f;
    auto *sink = new RecordingSink;
    f.bar->SetEventSink(sink);
    f.move(40);
    f.click(40);
    f.click(150);
    QEvent theme(QEvent::ThemeChange);
    QCoreApplication::sendEvent(&f.host, &theme);
    EXPECT_EQ(sink->seen, (std::vector<QString>{QStringLiteral("1 B2"), QStringLiteral("1 B2"),
                                                QStringLiteral("1 B2"), QStringLiteral("2 B2 40 10"),
                                                QStringLiteral("1 D"), QStringLiteral("1 D"),
                                                QStringLiteral("5 D 150 10"), QStringLiteral("4")}));
    f.bar->SetEventSink(nullptr);
    sink->Release();
}

// The pointer moved for real, through the window and every event filter on
// the bar: resting on a button shows its tip after the delay, another button
// brings its own tip, and off the buttons there is none.
TEST(Interaction, RestingOnAButtonShowsItsBalloonTip)
{
    Fixture f;
    f.item(1)->SetTooltipText(QStringLiteral("第一个按钮"));
    f.host.resize(420, 60);
    f.host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.host));
    clsToolTip *tip = f.bar->ToolTip();
    const auto shown = [tip] { return tip->Window() && tip->Window()->isVisible(); };

    QTest::mouseMove(f.bar, QPoint(40, 10));
    EXPECT_FALSE(shown()); // not before the delay
    ASSERT_TRUE(QTest::qWaitFor(shown, 2000));
    EXPECT_EQ(tip->ShownText(), QStringLiteral("第二个按钮"));
    EXPECT_EQ(tip->Style(), 1);

    // Another button: the old tip goes at once, the new one follows the rest.
    QTest::mouseMove(f.bar, QPoint(12, 10));
    EXPECT_FALSE(shown());
    ASSERT_TRUE(QTest::qWaitFor(shown, 2000));
    EXPECT_EQ(tip->ShownText(), QStringLiteral("第一个按钮"));

    // The bar's background: no tip.
    QTest::mouseMove(f.bar, QPoint(300, 10));
    EXPECT_FALSE(tip->IsCreated());
    QTest::qWait(400);
    EXPECT_FALSE(shown());

    // Back on a button, then off the bar before the delay: nothing shows.
    QTest::mouseMove(f.bar, QPoint(40, 10));
    QTest::mouseMove(&f.host, QPoint(410, 50));
    QTest::qWait(400);
    EXPECT_FALSE(shown());
}
