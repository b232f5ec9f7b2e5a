#include "ToolbarTestUtil.h"

#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/PropertyBag.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace qvtoolbar;

namespace {

// 1 新增 9-, 2 修改, separator, 4 check 锁定, 5 drop-down 更多, 6 disabled 删除,
// 7 hidden 隐藏 (pinned metrics).
struct Bar
{
    tbtest::PinnedMetrics pin;
    QWidget host;
    QLineEdit *edit = new QLineEdit(&host);
    NavToolbar *bar = new NavToolbar(&host);
    std::vector<QString> clicks;

    Bar()
    {
        auto *layout = new QVBoxLayout(&host);
        layout->addWidget(edit);
        layout->addWidget(bar);
        bar->InitProperties();
        bar->SetTwipsSize(400 * 15, 29 * 15);
        bar->AddButton(Button, QStringLiteral("新增"), QStringLiteral("add"));
        bar->AddButton(Button, QStringLiteral("修改"), QStringLiteral("edit"));
        bar->AddButton(Separator);
        bar->AddButton(Button, QStringLiteral("锁定"), QString(), nullptr, 16, IconLeftTextRight, QString(),
                       int32_t(0x80000008), nullptr, CheckButton);
        bar->AddButton(Button, QStringLiteral("更多"), QString(), nullptr, 16, IconLeftTextRight, QString(),
                       int32_t(0x80000008), nullptr, DropdownButton);
        bar->AddButton(Button, QStringLiteral("删除"));
        bar->AddButton(Button, QStringLiteral("隐藏"));
        bar->Buttons().Item(2)->SetTooltipText(QStringLiteral("修改当前记录"));
        bar->Buttons().Item(6)->SetEnabled(false);
        bar->Buttons().Item(7)->SetVisible(false);
        bar->Calculate_Size(1);
        bar->Redraw();
        QObject::connect(bar, &NavToolbar::ItemClick,
                         [this](ItemRef b, int32_t, int32_t) { clicks.push_back(QStringLiteral("click ") + b->Caption()); });
        QObject::connect(bar, &NavToolbar::DropdownClick, [this](ItemRef b, int32_t, int32_t) {
            clicks.push_back(QStringLiteral("dropdown ") + b->Caption());
        });
    }
    QAccessibleInterface *iface() const { return QAccessible::queryAccessibleInterface(bar); }
    QAccessibleInterface *child(int i) const { return iface()->child(i); }
};

QStringList names(QAccessibleInterface *bar)
{
    QStringList list;
    for (int i = 0; i < bar->childCount(); ++i)
        list.append(bar->child(i)->text(QAccessible::Name));
    return list;
}

} // namespace

TEST(Accessibility, ButtonsAreChildrenWithRoleNameStateAndTip)
{
    Bar b;
    QAccessibleInterface *bar = b.iface();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->role(), QAccessible::ToolBar);
    EXPECT_FALSE(bar->text(QAccessible::Name).isEmpty());
    // No separator, no hidden button.
    EXPECT_EQ(names(bar), (QStringList{QStringLiteral("新增"), QStringLiteral("修改"), QStringLiteral("锁定"),
                                       QStringLiteral("更多"), QStringLiteral("删除")}));
    QAccessibleInterface *edit = bar->child(1);
    EXPECT_EQ(edit->role(), QAccessible::PushButton);
    EXPECT_EQ(edit->text(QAccessible::Description), QStringLiteral("修改当前记录"));
    EXPECT_EQ(edit->parent(), bar);
    EXPECT_EQ(bar->indexOfChild(edit), 1);
    EXPECT_EQ(bar->child(1), edit); // the same interface each time
    const ItemRef second = b.bar->Buttons().Item(2);
    const QRect r = edit->rect();
    EXPECT_EQ(r.topLeft(), b.bar->mapToGlobal(QPoint(second->BoundsLeft(), 0)));
    EXPECT_EQ(r.width(), second->BoundsRight() - second->BoundsLeft());
    EXPECT_EQ(bar->childAt(r.center().x(), r.center().y()), edit);
    EXPECT_FALSE(edit->state().disabled);
    EXPECT_TRUE(edit->state().focusable);

    QAccessibleInterface *lock = bar->child(2);
    EXPECT_EQ(lock->role(), QAccessible::CheckBox);
    EXPECT_TRUE(lock->state().checkable);
    EXPECT_FALSE(lock->state().checked);
    EXPECT_TRUE(bar->child(3)->state().hasPopup);
    QAccessibleInterface *del = bar->child(4);
    EXPECT_TRUE(del->state().disabled);
    EXPECT_FALSE(del->state().focusable);

    // Pressed while the mouse button is down on it.
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(second->BoundsLeft() + 3, 10),
                     b.bar->mapToGlobal(QPointF(second->BoundsLeft() + 3, 10)), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(b.bar, &down);
    EXPECT_TRUE(edit->state().pressed);
}

TEST(Accessibility, ThePressActionClicksLikeTheMouseAndADisabledButtonRefuses)
{
    Bar b;
    QAccessibleInterface *bar = b.iface();
    QAccessibleActionInterface *add = bar->child(0)->actionInterface();
    ASSERT_TRUE(add);
    EXPECT_EQ(add->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    add->doAction(QAccessibleActionInterface::pressAction());
    // The press lands once the caller's call has returned.
    EXPECT_TRUE(b.clicks.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(b.clicks, std::vector<QString>{QStringLiteral("click 新增")});

    QAccessibleInterface *lock = bar->child(2);
    ASSERT_EQ(lock->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::toggleAction()});
    lock->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();
    EXPECT_TRUE(b.bar->Buttons().Item(4)->Value());
    EXPECT_TRUE(lock->state().checked);

    QAccessibleActionInterface *more = bar->child(3)->actionInterface();
    more->doAction(QAccessibleActionInterface::showMenuAction());
    more->doAction(QAccessibleActionInterface::pressAction());

    QAccessibleActionInterface *del = bar->child(4)->actionInterface();
    EXPECT_TRUE(del->actionNames().isEmpty());
    del->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(b.clicks, (std::vector<QString>{QStringLiteral("click 新增"), QStringLiteral("click 锁定"),
                                              QStringLiteral("dropdown 更多"), QStringLiteral("click 更多")}));
}

TEST(Accessibility, TabReachesTheBarArrowsWalkTheEnabledButtonsSpacePresses)
{
    Bar b;
    b.host.show();
    QApplication::setActiveWindow(&b.host);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&b.host));
    b.edit->setFocus();
    QTest::keyClick(b.edit, Qt::Key_Tab);
    ASSERT_TRUE(b.bar->hasFocus());
    EXPECT_EQ(b.bar->FocusedPosition(), 1);
    QAccessibleInterface *bar = b.iface();
    ASSERT_TRUE(bar->focusChild());
    EXPECT_EQ(bar->focusChild()->text(QAccessible::Name), QStringLiteral("新增"));
    EXPECT_TRUE(bar->child(0)->state().focused);

    // The mark is drawn on the focused button and moves with it.
    const ItemRef first = b.bar->Buttons().Item(1);
    const QRect firstRect(first->BoundsLeft(), 0, first->BoundsRight() - first->BoundsLeft(), b.bar->height());
    const QImage marked = b.bar->Surface().copy(firstRect);

    QTest::keyClick(b.bar, Qt::Key_Right);
    EXPECT_EQ(b.bar->FocusedPosition(), 2);
    EXPECT_NE(b.bar->Surface().copy(firstRect), marked);
    EXPECT_EQ(bar->focusChild()->text(QAccessible::Name), QStringLiteral("修改"));
    EXPECT_TRUE(bar->child(1)->state().focused);
    EXPECT_FALSE(bar->child(0)->state().focused);
    QTest::keyClick(b.bar, Qt::Key_Right); // over the separator
    EXPECT_EQ(b.bar->FocusedPosition(), 4);
    QTest::keyClick(b.bar, Qt::Key_Right);
    QTest::keyClick(b.bar, Qt::Key_Right); // the disabled one is skipped
    EXPECT_EQ(b.bar->FocusedPosition(), 5);
    QTest::keyClick(b.bar, Qt::Key_Down);
    QTest::keyClick(b.bar, Qt::Key_Home);
    EXPECT_EQ(b.bar->FocusedPosition(), 1);
    EXPECT_EQ(b.bar->Surface().copy(firstRect), marked);
    QTest::keyClick(b.bar, Qt::Key_Left);
    EXPECT_EQ(b.bar->FocusedPosition(), 1);
    QTest::keyClick(b.bar, Qt::Key_Space);
    QTest::keyClick(b.bar, Qt::Key_End);
    EXPECT_EQ(b.bar->FocusedPosition(), 5);
    QTest::keyClick(b.bar, Qt::Key_Left);
    QTest::keyClick(b.bar, Qt::Key_Return);
    EXPECT_EQ(b.clicks, (std::vector<QString>{QStringLiteral("dropdown 更多"), QStringLiteral("click 新增"),
                                              QStringLiteral("click 锁定")}));
    EXPECT_TRUE(b.bar->Buttons().Item(4)->Value());

    // Leaving with Tab takes the mark away.
    QTest::keyClick(b.bar, Qt::Key_Tab);
    EXPECT_FALSE(b.bar->hasFocus());
    EXPECT_EQ(bar->focusChild(), nullptr);
}

// The interface follows the buttons: what a host changes shows at the next
// draw, and buttons that went away leave Qt's cache with their interfaces.
TEST(Accessibility, TheInterfaceFollowsTheButtons)
{
    Bar b;
    QAccessibleInterface *bar = b.iface();
    QAccessibleInterface *edit = bar->child(1);
    const QAccessible::Id editId = QAccessible::uniqueId(edit);

    b.bar->Buttons().Item(2)->SetCaption(QStringLiteral("编辑"));
    b.bar->Buttons().Item(1)->SetEnabled(false);
    b.bar->Redraw();
    EXPECT_EQ(edit->text(QAccessible::Name), QStringLiteral("编辑"));
    EXPECT_TRUE(bar->child(0)->state().disabled);
    EXPECT_TRUE(bar->child(0)->actionInterface()->actionNames().isEmpty());

    b.bar->AddButton(Button, QStringLiteral("刷新"));
    ASSERT_EQ(bar->childCount(), 6);
    EXPECT_EQ(bar->child(5)->text(QAccessible::Name), QStringLiteral("刷新"));
    b.bar->Buttons().Item(8)->SetVisible(false);
    b.bar->Redraw();
    EXPECT_EQ(bar->childCount(), 5);

    // Stored buttons read back replace them all.
    PropertyBag bag;
    NavToolbar other;
    other.InitProperties();
    other.AddButton(Button, QStringLiteral("关闭"));
    other.WriteProperties(bag);
    b.bar->ReadProperties(bag);
    EXPECT_EQ(names(bar), QStringList{QStringLiteral("关闭")});
    EXPECT_EQ(QAccessible::accessibleInterface(editId), nullptr);
    EXPECT_EQ(bar->child(0)->parent(), bar);
}
