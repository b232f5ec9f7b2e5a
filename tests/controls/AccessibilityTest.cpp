#include "controls/Button.h"
#include "controls/Button2.h"
#include "controls/ControlsAccessibility.h"
#include "controls/NavContainer.h"
#include "controls/NavPanel.h"
#include "controls/NodeNavigator.h"
#include "controls/VSTabCtl.h"
#include "controls/dLinkLabel.h"
#include "controls/qvPilot_S.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace qvcontrols;

namespace {

QAccessibleActionInterface *actions(QAccessibleInterface *iface)
{
    return iface ? iface->actionInterface() : nullptr;
}

void expectPushButton(QWidget *w, const QString &name)
{
    SCOPED_TRACE(name.toStdString());
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Button);
    EXPECT_EQ(iface->text(QAccessible::Name), name);
    ASSERT_NE(actions(iface), nullptr);
    EXPECT_TRUE(actions(iface)->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

TEST(Accessibility, TabStripIsAPageTabListWhosePageTabsSelectAsAClickDoes)
{
    installAccessibility();
    VSTabCtl tabs;
    tabs.resize(500, 24);
    tabs.Add(QStringLiteral("导航窗口"), QStringLiteral("key"), true);
    tabs.Add(QStringLiteral("房源登记"), QStringLiteral("0201-1"));
    tabs.Add(QStringLiteral("客户查询"), QStringLiteral("0301-2"));
    tabs.show();
    QApplication::setActiveWindow(&tabs);
    std::vector<QString> entered;
    QObject::connect(&tabs, &VSTabCtl::TabEnter, [&](VSTab *t) { entered.push_back(t->Key()); });

    QAccessibleInterface *strip = QAccessible::queryAccessibleInterface(&tabs);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->role(), QAccessible::PageTabList);
    ASSERT_EQ(strip->childCount(), 3);
    QAccessibleInterface *second = strip->child(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->role(), QAccessible::PageTab);
    EXPECT_EQ(second->text(QAccessible::Name), QStringLiteral("房源登记"));
    EXPECT_EQ(second->parent(), strip);
    EXPECT_EQ(strip->indexOfChild(second), 1);
    EXPECT_TRUE(strip->child(0)->state().selected);
    EXPECT_FALSE(second->state().selected);
    EXPECT_EQ(second->rect(), QRect(tabs.mapToGlobal(tabs.tabRect(2).topLeft()), tabs.tabRect(2).size()));
    EXPECT_EQ(strip->childAt(second->rect().center().x(), second->rect().center().y()), second);

    // Pressing through the bridge selects as a click does: the host hears TabEnter.
    ASSERT_NE(actions(second), nullptr);
    EXPECT_TRUE(actions(second)->actionNames().contains(QStringLiteral("select")));
    actions(second)->doAction(QAccessibleActionInterface::pressAction());
    // Selected once the caller's call has returned.
    EXPECT_NE(tabs.SelectedTab(), tabs.Tab(2));
    QCoreApplication::processEvents();
    EXPECT_EQ(tabs.SelectedTab(), tabs.Tab(2));
    EXPECT_EQ(entered, std::vector<QString>{QStringLiteral("0201-1")});
    EXPECT_TRUE(second->state().selected);
    EXPECT_FALSE(strip->child(0)->state().selected);
    tabs.setFocus();
    EXPECT_EQ(strip->focusChild(), second);
    EXPECT_TRUE(second->state().focused);

    // Captions, new and removed tabs; the interface of a removed tab goes with it.
    tabs.Tab(3)->setCaption(QStringLiteral("客户列表"));
    tabs.Add(QStringLiteral("合同"), QStringLiteral("0401-3"));
    const QAccessible::Id removedId = QAccessible::uniqueId(strip->child(1));
    tabs.Remove(2);
    EXPECT_EQ(QAccessible::accessibleInterface(removedId), nullptr);
    ASSERT_EQ(strip->childCount(), 3);
    EXPECT_EQ(strip->child(1)->text(QAccessible::Name), QStringLiteral("客户列表"));
    EXPECT_EQ(strip->child(2)->text(QAccessible::Name), QStringLiteral("合同"));

    // A hidden tab stays a child but can neither be seen nor pressed.
    tabs.Tab(2)->setHidden(true);
    EXPECT_TRUE(strip->child(1)->state().invisible);
    EXPECT_TRUE(actions(strip->child(1))->actionNames().isEmpty());

    // A strip that goes takes its tabs' interfaces along.
    auto gone = std::make_unique<VSTabCtl>();
    gone->Add(QStringLiteral("房源查询"), QStringLiteral("x"), true);
    const QAccessible::Id tabId = QAccessible::uniqueId(QAccessible::queryAccessibleInterface(gone.get())->child(0));
    gone.reset();
    EXPECT_EQ(QAccessible::accessibleInterface(tabId), nullptr);
}

TEST(Accessibility, TabStripKeysMoveAndWrapPastHiddenTabs)
{
    VSTabCtl tabs;
    tabs.resize(500, 24);
    tabs.Add(QStringLiteral("导航窗口"), QStringLiteral("a"), true);
    tabs.Add(QStringLiteral("房源登记"), QStringLiteral("b"));
    tabs.Add(QStringLiteral("客户查询"), QStringLiteral("c"));
    tabs.Tab(2)->setHidden(true);
    tabs.show();
    QApplication::setActiveWindow(&tabs);
    tabs.setFocus();
    QTest::keyClick(&tabs, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs.SelectedTab(), tabs.Tab(3));
    QTest::keyClick(&tabs, Qt::Key_PageDown, Qt::ControlModifier); // wraps to the first
    EXPECT_EQ(tabs.SelectedTab(), tabs.Tab(1));
    QTest::keyClick(&tabs, Qt::Key_PageUp, Qt::ControlModifier); // and back
    EXPECT_EQ(tabs.SelectedTab(), tabs.Tab(3));
    QTest::keyClick(&tabs, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs.SelectedTab(), tabs.Tab(1));
    QTest::keyClick(&tabs, Qt::Key_Left); // arrows stop at the ends
    EXPECT_EQ(tabs.SelectedTab(), tabs.Tab(1));
    QTest::keyClick(&tabs, Qt::Key_Right);
    EXPECT_EQ(tabs.SelectedTab(), tabs.Tab(3));
    EXPECT_TRUE(tabs.hasFocus()); // Ctrl+Tab stayed in the strip, no focus chain move
}

TEST(Accessibility, ActionableControlsArePushButtonsNamedByCaptionWithAPressAction)
{
    installAccessibility();
    QWidget form;
    form.resize(600, 400);
    auto *title = new Button(&form);
    title->setCaption(QStringLiteral(" 退出系统"));
    auto *menu = new Button2(&form);
    menu->setCaption(QStringLiteral("  房源登记"));
    auto *report = new Button2(&form);
    report->setCaption(QStringLiteral("  房源统计  "));
    auto *link = new dLinkLabel(&form);
    link->setCaption(QStringLiteral("[修改密码]"));
    auto *node = new qvPilot_S(&form);
    node->setCaption(QStringLiteral("客户登记"));
    node->setIndex(4);
    auto *panel = new NavPanel(&form);
    panel->resize(200, 300);
    auto *container = new NavContainer(&form);
    panel->Add(QStringLiteral("房源管理"), QStringLiteral("01"), QPixmap(), container, true);
    panel->Add(QStringLiteral("系统管理"), QStringLiteral("09"), QPixmap(), container, true);
    panel->setSelectedItem(panel->Item(1));
    form.show();

    expectPushButton(title, QStringLiteral("退出系统"));
    expectPushButton(menu, QStringLiteral("房源登记"));
    expectPushButton(report, QStringLiteral("房源统计"));
    expectPushButton(link, QStringLiteral("[修改密码]"));
    expectPushButton(node, QStringLiteral("客户登记"));
    for (QToolButton *group : panel->findChildren<QToolButton *>()) {
        if (group->isVisible())
            expectPushButton(group, group->toolTip());
    }

    // Each press runs the control's own click path.
    std::vector<QString> clicked;
    QObject::connect(menu, &ImageButton::Click, [&] { clicked.push_back(QStringLiteral("menu")); });
    QObject::connect(link, &dLinkLabel::Click, [&] { clicked.push_back(QStringLiteral("link")); });
    QObject::connect(node, &qvPilot_S::Click, [&](int i) { clicked.push_back(QStringLiteral("node %1").arg(i)); });
    for (QWidget *w : std::initializer_list<QWidget *>{menu, link, node})
        actions(QAccessible::queryAccessibleInterface(w))->doAction(QAccessibleActionInterface::pressAction());
    // Qt's buttons click after a short flash.
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicked.size() == 3; }, 2000));
    std::sort(clicked.begin(), clicked.end());
    EXPECT_EQ(clicked, (std::vector<QString>{QStringLiteral("link"), QStringLiteral("menu"), QStringLiteral("node 4")}));
    for (QToolButton *group : panel->findChildren<QToolButton *>()) {
        if (group->isVisible() && group->toolTip() == QStringLiteral("系统管理"))
            actions(QAccessible::queryAccessibleInterface(group))->doAction(QAccessibleActionInterface::pressAction());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->SelectedItem() == panel->Item(2); }, 2000));

    // A disabled node offers no press.
    node->setEnabled(false);
    EXPECT_FALSE(actions(QAccessible::queryAccessibleInterface(node))->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
}

TEST(Accessibility, APlainWidgetWindowIsAFrameNamedByItsTitleOthersStayAsQtMakesThem)
{
    installAccessibility();
    QWidget window(nullptr, Qt::Window);
    window.setWindowTitle(QStringLiteral("房源统计表"));
    auto *inner = new QWidget(&window);
    window.show();
    QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(&window);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), QStringLiteral("房源统计表"));
    EXPECT_NE(QAccessible::queryAccessibleInterface(inner)->role(), QAccessible::Window);
    QToolButton plain(&window); // a tool button outside the navigation panel keeps Qt's interface
    plain.setCheckable(true);
    EXPECT_NE(QAccessible::queryAccessibleInterface(&plain)->role(), QAccessible::Button);
}

TEST(Accessibility, ArrowKeysMoveBetweenNodesByWhereTheyAreDrawnAndEnterOpens)
{
    // Two rows; the lower row is shifted so "down" must pick by distance.
    QWidget page;
    page.resize(600, 400);
    std::vector<qvPilot_S *> n;
    const QRect places[] = {{20, 20, 80, 80}, {200, 20, 80, 80}, {380, 20, 80, 80}, {60, 220, 80, 80}, {330, 220, 80, 80}};
    for (const QRect &r : places) {
        auto *node = new qvPilot_S(&page);
        node->setGeometry(r);
        node->setIndex(static_cast<int>(n.size()) + 1);
        n.push_back(node);
    }
    auto *hidden = new qvPilot_S(&page); // the design node the diagram copies, never shown
    hidden->setGeometry(290, 20, 80, 80);
    hidden->hide();
    page.show();
    QApplication::setActiveWindow(&page);
    std::vector<int> opened;
    for (auto *node : n)
        QObject::connect(node, &qvPilot_S::Click, [&](int i) { opened.push_back(i); });

    n[0]->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), n[1]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right); // skips the hidden one
    EXPECT_EQ(QApplication::focusWidget(), n[2]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right); // nothing further: stays
    EXPECT_EQ(QApplication::focusWidget(), n[2]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), n[4]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), n[3]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), n[0]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(opened, (std::vector<int>{1, 1}));

    // In line beats nearer but off to the side.
    const std::vector<QRect> candidates = {{100, 120, 10, 10}, {300, 0, 10, 10}};
    EXPECT_EQ(NodeNavigator::nearest(QRect(0, 0, 10, 10), candidates, NodeNavigator::Direction::Right), 1);
    EXPECT_EQ(NodeNavigator::nearest(QRect(0, 0, 10, 10), candidates, NodeNavigator::Direction::Left), -1);
    // Out of line is still better than nothing.
    EXPECT_EQ(NodeNavigator::nearest(QRect(0, 0, 10, 10), {{100, 120, 10, 10}}, NodeNavigator::Direction::Right), 0);
}

TEST(NavContainer, TwoHundredButtonsScrollByWheelKeysAndFocus)
{
    QWidget panel;
    panel.resize(200, 340);
    auto *list = new NavContainer(&panel);
    list->setGeometry(0, 20, 200, 300);
    std::vector<Button2 *> buttons;
    for (int i = 0; i < 200; ++i) {
        auto *b = new Button2(list);
        b->setCaption(QStringLiteral("  菜单%1").arg(i + 1));
        // Each below the one before, in twips, as the console stacks them.
        if (buttons.empty())
            b->Move(150, 120, 2400, 600);
        else
            b->Move(150, buttons.back()->Top() + buttons.back()->Height() + 120, 2400, 600);
        b->setFocusPolicy(Qt::StrongFocus);
        buttons.push_back(b);
    }
    panel.show();
    QApplication::setActiveWindow(&panel);
    const auto shown = [&](QWidget *w) { return list->rect().contains(w->geometry()); };
    ASSERT_GT(list->maximumScroll(), 0);
    EXPECT_FALSE(shown(buttons.back()));

    // End reaches the last one.
    buttons.front()->setFocus();
    QTest::keyClick(buttons.front(), Qt::Key_End);
    EXPECT_EQ(QApplication::focusWidget(), buttons.back());
    EXPECT_TRUE(shown(buttons.back()));
    EXPECT_EQ(list->scrollOffset(), list->maximumScroll());
    QTest::keyClick(buttons.back(), Qt::Key_Home);
    EXPECT_EQ(QApplication::focusWidget(), buttons.front());
    EXPECT_EQ(list->scrollOffset(), 0);

    // Focus moved by Tab or by code scrolls the focused one into view.
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), buttons[20]);
    EXPECT_TRUE(shown(buttons[20]));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), buttons[21]);
    EXPECT_TRUE(shown(buttons[21]));
    buttons[150]->setFocus();
    EXPECT_TRUE(shown(buttons[150]));

    // A page further and back; the focus goes along.
    const int before = list->scrollOffset();
    QTest::keyClick(buttons[150], Qt::Key_PageDown);
    EXPECT_EQ(list->scrollOffset(), before + list->height());
    QWidget *afterPage = QApplication::focusWidget();
    EXPECT_TRUE(shown(afterPage));
    EXPECT_NE(afterPage, buttons[150]);
    QTest::keyClick(afterPage, Qt::Key_PageUp);
    EXPECT_EQ(list->scrollOffset(), before);

    // The wheel moves the list, within its ends.
    list->scrollTo(0);
    QWheelEvent down(QPointF(50, 50), list->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -240), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(buttons.front(), &down); // over a button
    EXPECT_EQ(list->scrollOffset(), 80);
    QWheelEvent up(QPointF(50, 50), list->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 1200), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list, &up);
    EXPECT_EQ(list->scrollOffset(), 0);

    // A button stacked under another while scrolled lands under it, and the
    // list scrolls back when the content no longer needs it.
    list->scrollTo(500);
    auto *extra = new Button2(list);
    extra->Move(150, buttons.back()->Top() + buttons.back()->Height() + 120, 2400, 600);
    extra->show();
    EXPECT_GT(extra->y(), buttons.back()->geometry().bottom());
    for (size_t i = 3; i < buttons.size(); ++i)
        delete buttons[i];
    delete extra;
    EXPECT_EQ(list->maximumScroll(), 0);
    EXPECT_EQ(list->scrollOffset(), 0);
    EXPECT_EQ(buttons[0]->Top(), 120);
}

} // namespace
