#include "console/workspace/TabPages.h"

#include "controls/Panel.h"
#include "controls/VSTab.h"
#include "controls/VSTabCtl.h"

#include <QWidget>

#include <gtest/gtest.h>

using jx::TabPages;

namespace {

// The work area as the main window builds it: the diagram page, the design
// page 0 and the tab strip with the diagram's tab, all shown.
class TabPagesTest : public ::testing::Test
{
protected:
    TabPagesTest()
    {
        area.resize(800, 600);
        diagram = new qvcontrols::Panel(&area);
        first = new qvcontrols::Panel(&area);
        first->Move(15, 15, 9000, 5600);
        first->setBackColor(0x123456);
        tabs = new qvcontrols::VSTabCtl(&area);
        tabs->Add(QStringLiteral("导航窗口"), QStringLiteral("key"), true);
        pages = std::make_unique<TabPages>(*tabs, diagram, first);
        area.show();
    }
    QWidget area;
    qvcontrols::Panel *diagram = nullptr;
    qvcontrols::Panel *first = nullptr;
    qvcontrols::VSTabCtl *tabs = nullptr;
    std::unique_ptr<TabPages> pages;
};

} // namespace

TEST(TabPagesKeys, NameTheCodeAndThePage)
{
    EXPECT_EQ(TabPages::pageOfKey(QStringLiteral("0201-3")), 3);
    EXPECT_EQ(TabPages::codeOfKey(QStringLiteral("0201-3")), QStringLiteral("0201"));
    // The page follows the last dash, the code ends at the first.
    EXPECT_EQ(TabPages::pageOfKey(QStringLiteral("A-01-12")), 12);
    EXPECT_EQ(TabPages::codeOfKey(QStringLiteral("A-01-12")), QStringLiteral("A"));
    EXPECT_EQ(TabPages::pageOfKey(QStringLiteral("key")), 0);
    EXPECT_TRUE(TabPages::codeOfKey(QStringLiteral("key")).isEmpty());
    EXPECT_EQ(TabPages::controlName(7), QStringLiteral("edit7"));
}

TEST_F(TabPagesTest, OpeningMakesANewSelectedTabAndACurrentPageLikeTheLast)
{
    EXPECT_EQ(pages->open(QStringLiteral("房源登记"), QStringLiteral("0101"), &area), 1);
    EXPECT_EQ(pages->open(QStringLiteral("房源登记"), QStringLiteral("0101"), &area), 2);
    ASSERT_EQ(tabs->Count(), 3);
    EXPECT_EQ(tabs->Tab(3)->Key(), QStringLiteral("0101-2"));
    EXPECT_FALSE(tabs->Tab(3)->Closable());
    EXPECT_EQ(pages->selectedTab(), 3);
    EXPECT_EQ(pages->current(), 2);
    EXPECT_EQ(pages->counter(), 2);
    EXPECT_EQ(pages->pageCount(), 3);
    qvcontrols::Panel *page = pages->page(2);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->objectName(), QStringLiteral("picHolder_2"));
    EXPECT_EQ(page->Width(), 9000);
    EXPECT_EQ(page->Top(), 15);
    EXPECT_EQ(page->BackColor(), 0x123456);
    EXPECT_EQ(page->accessibleName(), QStringLiteral("房源登记"));
    EXPECT_EQ(pages->page(3), nullptr);
    EXPECT_EQ(pages->page(-1), nullptr);
}

TEST_F(TabPagesTest, FindsTabsByEntryAndByControlName)
{
    pages->open(QStringLiteral("甲"), QStringLiteral("01"), &area);
    pages->open(QStringLiteral("乙"), QStringLiteral("A-01"), &area);
    pages->open(QStringLiteral("甲"), QStringLiteral("01"), &area);
    EXPECT_EQ(pages->tabOfCode(QStringLiteral("01")), 2);
    // A code holding a dash never finds its own tab (each opening gets a new one).
    EXPECT_EQ(pages->tabOfCode(QStringLiteral("A-01")), 0);
    EXPECT_EQ(pages->tabOfCode(QStringLiteral("A")), 3);
    EXPECT_EQ(pages->tabOfCode(QStringLiteral("key")), 0);
    EXPECT_EQ(pages->tabOfControl(QStringLiteral("EDIT3")), 4);
    EXPECT_EQ(pages->tabOfControl(QStringLiteral("edit2")), 3);
    // The diagram's tab hosts no function.
    EXPECT_EQ(pages->tabOfControl(QStringLiteral("edit0")), 0);
    EXPECT_EQ(pages->tabOfControl(QStringLiteral("edit9")), 0);
}

TEST_F(TabPagesTest, ClosingMovesTheSelectionOnlyFromTheClosedTab)
{
    for (const char *code : {"01", "02", "03"})
        pages->open(QString::fromLatin1(code), QString::fromLatin1(code), &area);
    ASSERT_EQ(pages->selectedTab(), 4);
    // Another tab's function closes itself: the operator's tab stays selected.
    pages->close(2);
    ASSERT_EQ(tabs->Count(), 3);
    EXPECT_EQ(pages->selectedTab(), 3);
    EXPECT_EQ(tabs->Tab(3)->Key(), QStringLiteral("03-3"));
    // The selected one closes: its left neighbour takes over.
    pages->close(3);
    EXPECT_EQ(pages->selectedTab(), 2);
    EXPECT_EQ(tabs->Tab(2)->Key(), QStringLiteral("02-2"));
    // The diagram's tab is never closed, nor a tab that is not there.
    pages->close(1);
    pages->close(5);
    EXPECT_EQ(tabs->Count(), 2);
}

TEST_F(TabPagesTest, TheLastFunctionClosedBringsTheDiagramBack)
{
    pages->open(QStringLiteral("甲"), QStringLiteral("01"), &area);
    pages->leave(tabs->Tab(1));
    pages->showDiagramTab(false);
    ASSERT_FALSE(diagram->isVisible());
    ASSERT_TRUE(tabs->Tab(1)->Hidden());
    pages->close(2);
    EXPECT_EQ(tabs->Count(), 1);
    EXPECT_TRUE(diagram->isVisible());
    EXPECT_FALSE(tabs->Tab(1)->Hidden());
}

TEST_F(TabPagesTest, EnteringAndLeavingShowAndHideTheTabsPage)
{
    pages->open(QStringLiteral("甲"), QStringLiteral("01"), &area);
    pages->open(QStringLiteral("乙"), QStringLiteral("02"), &area);
    pages->leave(tabs->Tab(3));
    EXPECT_FALSE(pages->page(2)->isVisible());
    EXPECT_TRUE(pages->page(1)->isVisible());
    EXPECT_EQ(pages->enter(tabs->Tab(3)), 2);
    EXPECT_TRUE(pages->page(2)->isVisible());
    pages->leave(tabs->Tab(1));
    EXPECT_FALSE(diagram->isVisible());
    EXPECT_EQ(pages->enter(tabs->Tab(1)), 0);
    EXPECT_TRUE(diagram->isVisible());
    EXPECT_EQ(pages->enter(nullptr), 0);
}
