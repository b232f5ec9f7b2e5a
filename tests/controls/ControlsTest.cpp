#include "controls/Button2.h"
#include "controls/ControlArray.h"
#include "controls/NavContainer.h"
#include "controls/NavPanel.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "controls/VSTabCtl.h"
#include "controls/dLinkLabel.h"
#include "controls/qvArrow.h"
#include "controls/qvPilot_S.h"

#include "platform/widgets/Ui.h"

#include <QDesktopServices>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

using namespace qvcontrols;

namespace {

// Stands in for the desktop's URL opener.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
    Q_INVOKABLE void open(const QUrl &url) { opened << url; }
};

TEST(TwipsGeometry, RoundTripsAtFifteenTwipsPerPixel)
{
    ASSERT_EQ(jx::twipsPerPixelX(), 15);
    Panel panel;
    panel.Move(1570, 2640, 1710, 30);
    // Exact values read back, the widget sits on the nearest pixels.
    EXPECT_EQ(panel.Left(), 1570);
    EXPECT_EQ(panel.Top(), 2640);
    EXPECT_EQ(panel.Width(), 1710);
    EXPECT_EQ(panel.geometry(), QRect(105, 176, 114, 2));
    panel.setWidth(panel.Width() + 60);
    EXPECT_EQ(panel.Width(), 1770);
    // Geometry changed behind its back reads back from the pixels.
    panel.setGeometry(10, 20, 30, 40);
    EXPECT_EQ(panel.Left(), 150);
    EXPECT_EQ(panel.Height(), 600);
}

TEST(Panel, ThemesSetItsColourByStyleSheetPerAppearance)
{
    QWidget form;
    form.setStyleSheet(QStringLiteral("qvcontrols--Panel[Appearance=\"1\"] { qproperty-ThemeColor: #102030; }"));
    auto *work = new Panel(&form);
    auto *title = new Panel(&form);
    work->setBackColor(0xFFFFFF);
    title->setBackColor(0xFFFFFF);
    work->setAppearance(1);
    work->setGeometry(0, 0, 40, 40);
    form.show();
    QImage image(40, 40, QImage::Format_RGB32);
    work->render(&image);
    EXPECT_EQ(image.pixelColor(20, 20), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(title->FaceColor(), QColor(Qt::white)); // appearance 0: the rule does not apply
    work->setAppearance(7);
    EXPECT_EQ(work->Appearance(), 0);
    EXPECT_EQ(work->FaceColor(), QColor(Qt::white));
}

TEST(NavPanel, ItemsByKeyAndIndexAndSelectionEventsForCodeAndUser)
{
    NavPanel panel;
    panel.resize(200, 400);
    NavContainer container;
    std::vector<QString> selected;
    QObject::connect(&panel, &NavPanel::SelectionChanged, [&](NavItem *item) { selected.push_back(item->Key()); });

    panel.setRedraw(false);
    panel.Add(QStringLiteral("房源管理"), QStringLiteral("01"), QPixmap(), &container, true);
    panel.Add(QStringLiteral("客户管理"), QStringLiteral("02"), QPixmap(), &container, true);
    NavItem *third = panel.Add(QStringLiteral("系统管理"), QStringLiteral("09"), QPixmap(), &container, true);
    EXPECT_TRUE(panel.findChildren<QToolButton *>().isEmpty()); // nothing laid out while redraw is off
    panel.setRedraw(true);
    EXPECT_THROW(panel.Add(QStringLiteral("x"), QStringLiteral("02"), QPixmap(), &container), com::RuntimeError);

    EXPECT_EQ(panel.Count(), 3);
    EXPECT_EQ(panel.Item(3), third);
    EXPECT_EQ(panel.Item(QStringLiteral("09")), third);
    EXPECT_EQ(third->Index(), 3);
    EXPECT_EQ(panel.Item(0), nullptr);
    EXPECT_EQ(panel.Item(QStringLiteral("99")), nullptr);
    EXPECT_EQ(panel.SelectedItem(), nullptr);

    panel.setSelectedItem(panel.Item(2));
    EXPECT_EQ(panel.SelectedItem()->Caption(), QStringLiteral("客户管理"));
    panel.setSelectedItem(panel.Item(2)); // no change, no event
    ASSERT_EQ(selected, std::vector<QString>{QStringLiteral("02")});
    EXPECT_TRUE(container.isVisibleTo(&panel));

    // Two large group buttons; the third collapses into the icon row.
    panel.setVisibleItems(2);
    EXPECT_EQ(panel.VisibleItems(), 2);
    panel.show();
    QToolButton *icon = nullptr;
    for (QToolButton *b : panel.findChildren<QToolButton *>()) {
        if (b->isVisible() && b->accessibleName() == QStringLiteral("系统管理"))
            icon = b;
    }
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->toolButtonStyle(), Qt::ToolButtonIconOnly);
    QTest::mouseClick(icon, Qt::LeftButton);
    EXPECT_EQ(panel.SelectedItem(), third);
    EXPECT_EQ(selected.back(), QStringLiteral("09"));
    EXPECT_EQ(selected.size(), 2u);

    // Dragging the grip up by one button height shows one more large button.
    const QPoint grip = panel.gripRect().center();
    QTest::mousePress(&panel, Qt::LeftButton, {}, grip);
    QTest::mouseMove(&panel, grip - QPoint(0, 30));
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, grip - QPoint(0, 30));
    EXPECT_EQ(panel.VisibleItems(), 3);
}

TEST(VSTabCtl, LeaveThenEnterForCodeAndUserHiddenFlagAndCloseRequests)
{
    VSTabCtl tabs;
    tabs.resize(600, 24);
    std::vector<QString> log;
    QObject::connect(&tabs, &VSTabCtl::TabLeave, [&](VSTab *t) { log.push_back(QStringLiteral("leave ") + t->Key()); });
    QObject::connect(&tabs, &VSTabCtl::TabEnter, [&](VSTab *t) { log.push_back(QStringLiteral("enter ") + t->Key()); });
    QObject::connect(&tabs, &VSTabCtl::CloseRequested, [&](VSTab *t) { log.push_back(QStringLiteral("close ") + t->Key()); });

    VSTab *diagram = tabs.Add(QStringLiteral("导航窗口"), QStringLiteral("key"), true);
    diagram->setClosable(false);
    tabs.Add(QStringLiteral("房源登记"), QStringLiteral("0101-1"), true);
    VSTab *second = tabs.Add(QStringLiteral("客户登记"), QStringLiteral("0201-2"), false);
    tabs.Refresh();
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("enter key"), QStringLiteral("leave key"),
                                         QStringLiteral("enter 0101-1")}));
    EXPECT_EQ(tabs.Count(), 3);
    EXPECT_EQ(second->Index(), 3);
    EXPECT_EQ(tabs.Tab(QStringLiteral("0201-2")), second);
    EXPECT_TRUE(tabs.Tab(2)->Selected());

    // The user picks a tab.
    tabs.show();
    log.clear();
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(3).center() - QPoint(10, 0));
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("leave 0101-1"), QStringLiteral("enter 0201-2")}));

    // A middle click asks to close; the tab stays until the host removes it.
    log.clear();
    QTest::mouseClick(&tabs, Qt::MiddleButton, {}, tabs.tabRect(2).center());
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.closeRect(3).center());
    QTest::mouseClick(&tabs, Qt::MiddleButton, {}, tabs.tabRect(1).center()); // the diagram tab is not closable
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("close 0101-1"), QStringLiteral("close 0201-2")}));
    EXPECT_EQ(tabs.Count(), 3);

    // Hidden keeps the index but the tab takes no room and no clicks.
    diagram->setHidden(true);
    EXPECT_TRUE(tabs.tabRect(1).isEmpty());
    EXPECT_EQ(diagram->Index(), 1);
    diagram->setHidden(false);
    EXPECT_FALSE(tabs.tabRect(1).isEmpty());

    // Closing the selected function tab as the console does: select, then remove.
    log.clear();
    tabs.Tab(2)->setSelected(true);
    tabs.Remove(3);
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("leave 0201-2"), QStringLiteral("enter 0101-1")}));
    EXPECT_EQ(tabs.Count(), 2);
    EXPECT_THROW(tabs.Remove(5), com::RuntimeError);

    // The keyboard moves between tabs; the strip is named after the selected one.
    log.clear();
    tabs.setFocus();
    QTest::keyClick(&tabs, Qt::Key_Left);
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("leave 0101-1"), QStringLiteral("enter key")}));
    EXPECT_EQ(tabs.accessibleName(), QStringLiteral("导航窗口"));
}

TEST(ControlArray, ElementsLoadFromTheDesignElementAndUnloadByIndexEvenFromTheirOwnClick)
{
    QWidget form;
    form.resize(400, 400);
    auto *template0 = new Button2(&form);
    template0->Move(300, 300, 2400, 450);
    template0->setBackColor(0x123456);
    template0->setHoverColor(0x00FF00);
    template0->setBorderStyle(0);
    ControlArray<Button2> buttons(template0);
    std::vector<int> clicks;
    buttons.setOnLoad([&](Button2 *b) {
        QObject::connect(b, &Button2::Click, [&](int index) {
            clicks.push_back(index);
            buttons.Unload(index);
        });
    });

    Button2 *first = buttons.Load(1);
    EXPECT_FALSE(first->isVisibleTo(&form));
    EXPECT_EQ(first->Index(), 1);
    EXPECT_EQ(first->Width(), 2400);
    first->Move(first->Left(), template0->Top() + template0->Height() + 120);
    first->CopyAppearance(*template0);
    EXPECT_EQ(first->Top(), 870);
    EXPECT_EQ(first->BackColor(), 0x123456);
    EXPECT_EQ(first->HoverColor(), 0x00FF00);
    EXPECT_EQ(first->BorderStyle(), 0);
    buttons.Load(2);
    EXPECT_THROW(buttons.Load(2), com::RuntimeError);
    EXPECT_EQ(buttons.UBound(), 2);
    EXPECT_EQ(buttons.Count(), 3);

    form.show();
    first->show();
    QTest::mouseClick(first, Qt::LeftButton);
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_EQ(buttons.Item(1), nullptr);
    EXPECT_THROW(buttons.Unload(0), com::RuntimeError);
    EXPECT_THROW(buttons.Unload(1), com::RuntimeError);
    buttons.UnloadAll();
    EXPECT_EQ(buttons.Indexes(), std::vector<int>{0});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form.findChildren<Button2 *>().size(), 1);
}

TEST(dLinkLabel, ClickRaisesItsIndexAndOpensTheLinkWithTheDesktop)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    dLinkLabel label;
    label.setIndex(2);
    label.setCaption(QStringLiteral("意见与建议"));
    label.setLink(QStringLiteral("mailto:support@example.com"));
    std::vector<int> clicks;
    QObject::connect(&label, &dLinkLabel::Click, [&](int i) { clicks.push_back(i); });
    label.show();
    QTest::mouseClick(&label, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    EXPECT_EQ(clicks, std::vector<int>{2});
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.first().toString(), QStringLiteral("mailto:support@example.com"));
    EXPECT_EQ(label.accessibleName(), QStringLiteral("意见与建议"));
    EXPECT_GT(label.width(), 0);
}

TEST(StatusBarAndNode, KeyedPanelsAndNodeValuesAsTheDiagramGivesThem)
{
    StatusBar bar;
    bar.resize(600, 22);
    for (const char *key : {"msg", "period", "date", "user"})
        bar.Add(QString::fromLatin1(key));
    EXPECT_THROW(bar.Add(QStringLiteral("msg")), com::RuntimeError);
    bar.Panel(QStringLiteral("period"))->setText(QStringLiteral("会计期间：3"));
    EXPECT_EQ(bar.Panel(2)->Text(), QStringLiteral("会计期间：3"));
    EXPECT_EQ(bar.Panel(4)->Key(), QStringLiteral("user"));
    EXPECT_EQ(bar.Panel(5), nullptr);
    EXPECT_GT(bar.panelRect(4).left(), bar.panelRect(3).right());

    qvPilot_S node;
    node.setRightToLeft(QStringLiteral("-1"));
    EXPECT_TRUE(node.RightToLeft());
    node.setRightToLeft(QStringLiteral("0"));
    EXPECT_FALSE(node.RightToLeft());
    node.setIconSize(0);
    EXPECT_EQ(node.IconSize(), 32);
    node.setIconSize(500);
    EXPECT_EQ(node.IconSize(), 128);
    node.setIndex(3);
    std::vector<int> clicks;
    QObject::connect(&node, &qvPilot_S::Click, [&](int i) { clicks.push_back(i); });
    node.resize(60, 60);
    node.show();
    QTest::mouseClick(&node, Qt::LeftButton);
    EXPECT_EQ(clicks, std::vector<int>{3});
}

TEST(qvPilot_S, ALookDrawnOnceIsReusedOnlyWhereEverythingShownIsTheSame)
{
    qvPilot_S node;
    node.resize(80, 70);
    node.setIconSize(24);
    node.setCaption(QStringLiteral("房源登记"));
    const auto draw = [](qvPilot_S &n) {
        QImage image(n.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        n.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };
    const QImage plain = draw(node);
    EXPECT_EQ(draw(node), plain) << "drawn again from the cache, alike";

    // A second node that looks the same draws the same; any difference shows.
    qvPilot_S twin;
    twin.resize(80, 70);
    twin.setIconSize(24);
    twin.setCaption(QStringLiteral("房源登记"));
    EXPECT_EQ(draw(twin), plain);
    twin.setCaption(QStringLiteral("客源登记"));
    EXPECT_NE(draw(twin), plain);
    QFont large = twin.font();
    large.setPixelSize(20);
    large.setBold(true);
    node.setFont(large);
    const QImage inLarge = draw(node);
    EXPECT_NE(inLarge, plain) << "the caption is drawn in the node's own font";
    node.setFont(QFont());
    EXPECT_EQ(draw(node), plain);
    QPixmap picture(24, 24);
    picture.fill(Qt::red);
    node.setPicture(picture);
    EXPECT_EQ(draw(node).pixelColor(40, 12), QColor(Qt::red));
}

TEST(qvArrow, DrawsTowardsItsDirectionWithBackgroundByConstantAlpha)
{
    qvArrow arrow;
    arrow.resize(60, 20);
    arrow.setForeColor(0x0000FF); // red, as OLE colours are BGR
    arrow.setBackColor(0xFF0000); // blue
    const auto draw = [&arrow] {
        QImage image(arrow.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        arrow.render(&image, QPoint(), QRegion(), QWidget::DrawChildren); // no window background
        return image;
    };
    QImage image = draw();
    EXPECT_EQ(image.pixelColor(30, 10), QColor(Qt::red)); // the shaft
    EXPECT_EQ(image.pixelColor(52, 10), QColor(Qt::red)); // near the point, on the right
    EXPECT_EQ(image.pixelColor(46, 6), QColor(Qt::red));  // the head is wider than the shaft
    EXPECT_EQ(image.pixelColor(2, 10), QColor(Qt::red));  // the tail
    EXPECT_EQ(image.pixelColor(30, 1).alpha(), 0);        // alpha 0: no background

    arrow.setArrowDirection(qvArrow::Left);
    image = draw();
    EXPECT_EQ(image.pixelColor(7, 10), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(13, 6), QColor(Qt::red)); // the head is on the left now
    EXPECT_EQ(image.pixelColor(46, 6).alpha(), 0);

    arrow.setConstantAlpha(255);
    image = draw();
    EXPECT_EQ(image.pixelColor(50, 1), QColor(Qt::blue));

    arrow.setArrowDirection(9); // outside the range: points right
    EXPECT_EQ(arrow.ArrowDirection(), qvArrow::Right);
    arrow.setConstantAlpha(300);
    EXPECT_EQ(arrow.ConstantAlpha(), 255);
}

} // namespace

#include "ControlsTest.moc"
