#include "ToolbarTestUtil.h"

#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/ppgToolbar.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace qvtoolbar;

namespace {

struct Page
{
    tbtest::PinnedMetrics pin;
    std::unique_ptr<NavToolbar> bar = std::make_unique<NavToolbar>();
    ppgToolbar page;
    QStringList messages;

    Page()
    {
        bar->InitProperties();
        bar->SetUserMode(false); // a form designer
        bar->SetTwipsSize(400 * 15, 29 * 15);
        page.SetMessageShower([this](const QString &text, QMessageBox::Icon icon, const QString &title) {
            messages.append(QStringLiteral("%1|%2|%3").arg(text).arg(int(icon)).arg(title));
        });
    }
    void select() { page.SelectionChanged({bar.get()}); }
    template<typename T> T *get(const char *name) { return page.findChild<T *>(QLatin1String(name)); }
    QLineEdit *field(int i) { return get<QLineEdit>(qPrintable(QStringLiteral("txtField_%1").arg(i))); }
    void press(const char *name) { get<QAbstractButton>(name)->click(); }
    void apply() { page.ApplyChanges(); }
};

} // namespace

TEST(PropertyPage, AddingToAnEmptyBarMakesPositionOneCurrent)
{
    Page p;
    p.select();
    EXPECT_FALSE(p.field(2)->isEnabled());
    EXPECT_EQ(p.page.windowTitle(), QStringLiteral("工具栏按钮"));
    p.press("btnAction_0");
    ASSERT_EQ(p.bar->Buttons().Count(), 1);
    EXPECT_EQ(p.page.Position(), 1);
    EXPECT_EQ(p.field(0)->text(), QStringLiteral("1"));
    EXPECT_TRUE(p.field(2)->isEnabled());
    EXPECT_TRUE(p.page.Changed());
    EXPECT_FALSE(p.get<QCheckBox>("chkCheck")->isEnabled()); // a normal button has no check value

    p.field(2)->setText(QStringLiteral("新建"));
    p.field(3)->setText(QStringLiteral("新建一条"));
    p.get<QComboBox>("CboIconSize")->setCurrentIndex(4);
    EXPECT_EQ(p.get<QComboBox>("CboIconSize")->currentText(), QStringLiteral("64"));
    p.get<QComboBox>("cboStyle")->setCurrentIndex(1);
    p.get<QCheckBox>("chkCheck")->setChecked(true);
    p.apply();
    auto b = p.bar->Buttons().Item(1);
    EXPECT_EQ(b->Caption(), QStringLiteral("新建"));
    EXPECT_EQ(b->TooltipText(), QStringLiteral("新建一条"));
    EXPECT_EQ(b->IconSize(), 64);
    EXPECT_EQ(b->Style(), CheckButton);
    EXPECT_TRUE(b->Value());
    EXPECT_EQ(p.bar->StoredButtonCount(), 1);
    EXPECT_EQ(b->iLeft(), 9); // laid out by the apply
    EXPECT_FALSE(p.page.Changed());
    EXPECT_TRUE(p.messages.isEmpty());
}

TEST(PropertyPage, UnlistedIconSizeShowsTheFirstEntryAndKeysStayWithTheCollection)
{
    Page p;
    p.bar->AddButton(Button, QStringLiteral("a"), QStringLiteral("old"), nullptr, 20);
    p.select();
    EXPECT_EQ(p.get<QComboBox>("CboIconSize")->currentText(), QStringLiteral("16"));
    EXPECT_EQ(p.field(1)->text(), QStringLiteral("old"));
    p.field(1)->setText(QStringLiteral("new"));
    p.apply();
    EXPECT_EQ(p.bar->Buttons().Item(1)->Key(), QStringLiteral("new"));
    EXPECT_FALSE(p.bar->Buttons().Item(QStringLiteral("new")));
    EXPECT_TRUE(p.bar->Buttons().Item(QStringLiteral("old")));
}

TEST(PropertyPage, MovingAppliesFirstAndRefusesTheEnds)
{
    Page p;
    p.bar->AddButton(Button, QStringLiteral("one"));
    p.bar->AddButton(Button, QStringLiteral("two"));
    p.select();
    p.press("btnAction_2"); // disabled at position 1: nothing happens
    EXPECT_TRUE(p.messages.isEmpty());
    p.field(2)->setText(QStringLiteral("first"));
    p.press("btnAction_3");
    EXPECT_EQ(p.page.Position(), 2);
    EXPECT_EQ(p.bar->Buttons().Item(1)->Caption(), QStringLiteral("two"));
    EXPECT_EQ(p.bar->Buttons().Item(2)->Caption(), QStringLiteral("first"));
    EXPECT_EQ(p.field(2)->text(), QStringLiteral("first"));
    EXPECT_EQ(p.get<QScrollBar>("hsbIDX")->value(), 2);

    // The refusals, reached with the buttons enabled.
    p.get<QAbstractButton>("btnAction_3")->setEnabled(true);
    p.press("btnAction_3");
    p.get<QScrollBar>("hsbIDX")->setValue(1);
    p.get<QAbstractButton>("btnAction_2")->setEnabled(true);
    p.press("btnAction_2");
    EXPECT_EQ(p.messages, (QStringList{QStringLiteral("按钮不能移动到无穷居右.|2|提示"),
                                       QStringLiteral("按钮不能移动到无穷居左.|2|提示")}));
}

TEST(PropertyPage, MovingToAnotherPositionAppliesTheEdits)
{
    Page p;
    p.bar->AddButton(Button, QStringLiteral("one"));
    p.bar->AddButton(Button, QStringLiteral("two"));
    p.select();
    p.field(3)->setText(QStringLiteral("tip one"));
    p.get<QScrollBar>("hsbIDX")->setValue(2);
    EXPECT_EQ(p.bar->Buttons().Item(1)->TooltipText(), QStringLiteral("tip one"));
    EXPECT_EQ(p.field(2)->text(), QStringLiteral("two"));
    EXPECT_FALSE(p.page.Changed());

    p.get<QScrollBar>("hsbIDX")->setMaximum(5);
    p.get<QScrollBar>("hsbIDX")->setValue(5);
    EXPECT_EQ(p.messages, QStringList{QStringLiteral("按钮索引 '5' 不存在.|3|提示")});
    EXPECT_FALSE(p.field(2)->isEnabled());
}

TEST(PropertyPage, DeletingTheOnlyButtonDisablesTheFields)
{
    Page p;
    p.bar->AddButton(Button, QStringLiteral("one"));
    p.bar->AddButton(Button, QStringLiteral("two"));
    p.select();
    p.get<QScrollBar>("hsbIDX")->setValue(2);
    p.press("btnAction_1");
    EXPECT_EQ(p.bar->Buttons().Count(), 1);
    EXPECT_EQ(p.page.Position(), 1);
    EXPECT_EQ(p.field(2)->text(), QStringLiteral("one"));
    EXPECT_TRUE(p.page.Changed());
    p.bar->Redraw();
    p.press("btnAction_1");
    EXPECT_EQ(p.bar->Buttons().Count(), 0);
    EXPECT_FALSE(p.field(2)->isEnabled());
    EXPECT_EQ(p.bar->StoredButtonCount(), 0);
    // The deleted button is no longer drawn: the bar looks like an empty one.
    NavToolbar empty;
    empty.InitProperties();
    empty.SetTwipsSize(400 * 15, 29 * 15);
    EXPECT_EQ(p.bar->Surface(), empty.Surface());
    EXPECT_FALSE(p.get<QAbstractButton>("btnAction_1")->isEnabled() && p.field(1)->isEnabled());
}

TEST(PropertyPage, SeparatorClearsAndDisablesTheProperties)
{
    Page p;
    p.bar->AddButton(Button, QStringLiteral("one"), QStringLiteral("k"));
    p.select();
    p.get<QComboBox>("cboType")->setCurrentIndex(1);
    EXPECT_TRUE(p.field(2)->text().isEmpty());
    EXPECT_FALSE(p.field(2)->isEnabled());
    EXPECT_TRUE(p.get<QComboBox>("cboType")->isEnabled());
    p.apply();
    auto b = p.bar->Buttons().Item(1);
    EXPECT_EQ(b->btnType(), Separator);
    EXPECT_EQ(b->Caption(), QString());
    EXPECT_EQ(b->Alignment(), IconLeftTextRight); // no entry chosen: kept
}

TEST(PropertyPage, FontFieldTakesOnlyDigitsAndPictureComesOnTheMaskColour)
{
    Page p;
    p.bar->AddButton(Button, QStringLiteral("one"));
    p.select();
    QLineEdit *font = p.field(4);
    font->setText(QString());
    auto type = [font](Qt::Key key, const QString &text) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(font, &e);
    };
    type(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(font->text(), QString());
    type(Qt::Key_5, QStringLiteral("5"));
    EXPECT_EQ(font->text(), QStringLiteral("5"));

    QImage icon(4, 4, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    icon.setPixel(1, 1, qRgb(0, 0, 255));
    const QString file = QDir::temp().filePath(QStringLiteral("ppg-icon-test.png"));
    ASSERT_TRUE(icon.save(file));
    p.page.SetFileChooser([&](QWidget *) { return file; });
    p.press("btnBrowse_0");
    p.apply();
    auto pic = p.bar->Buttons().Item(1)->GetPicture();
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->image().pixel(0, 0), qRgb(255, 0, 255));
    EXPECT_EQ(pic->image().pixel(1, 1), qRgb(0, 0, 255));
    p.page.SetFileChooser([](QWidget *) { return QStringLiteral("/nonexistent/x.ico"); });
    p.press("btnBrowse_0");
    EXPECT_EQ(p.messages.size(), 1);
    EXPECT_TRUE(p.messages.first().startsWith(QStringLiteral("无法装入图片")));
    p.press("btnClear");
    p.apply();
    EXPECT_FALSE(p.bar->Buttons().Item(1)->GetPicture());
    QFile::remove(file);
}

// Two buttons with one key (whatever the letter case) could not be read
// back: the page refuses the key at apply, writes nothing, and keeps what
// was typed, also when the user moves to another button.
TEST(PropertyPage, AKeyOfAnotherButtonIsRefusedAndNothingIsApplied)
{
    Page p;
    p.bar->AddButton(Button, QStringLiteral("新增"), QStringLiteral("new"));
    p.bar->AddButton(Button, QStringLiteral("修改"), QStringLiteral("edit"));
    p.select();
    p.get<QScrollBar>("hsbIDX")->setValue(2);
    p.field(1)->setText(QStringLiteral("NEW"));
    p.field(2)->setText(QStringLiteral("改过"));
    EXPECT_FALSE(p.page.ApplyChanges());
    ASSERT_EQ(p.messages.size(), 1);
    EXPECT_TRUE(p.messages.first().startsWith(QStringLiteral("关键字 'NEW' 已被第 1 个按钮使用"))) << qPrintable(p.messages.first());
    EXPECT_TRUE(p.messages.first().endsWith(QStringLiteral("|2|提示")));
    const auto b = p.bar->Buttons().Item(2);
    EXPECT_EQ(b->Key(), QStringLiteral("edit"));
    EXPECT_EQ(b->Caption(), QStringLiteral("修改"));
    EXPECT_TRUE(p.page.Changed());

    // Moving away applies first: refused, the page stays with the edits.
    p.get<QScrollBar>("hsbIDX")->setValue(1);
    EXPECT_EQ(p.page.Position(), 2);
    EXPECT_EQ(p.get<QScrollBar>("hsbIDX")->value(), 2);
    EXPECT_EQ(p.field(1)->text(), QStringLiteral("NEW"));
    EXPECT_EQ(p.messages.size(), 2);

    // Its own key again, in other letters, is no conflict; the set loads back.
    p.field(1)->setText(QStringLiteral("Edit"));
    EXPECT_TRUE(p.page.ApplyChanges());
    EXPECT_EQ(b->Caption(), QStringLiteral("改过"));
    NavToolbar copy;
    copy.InitProperties();
    const auto read = copy.SetStoredProperties(p.bar->StoredProperties());
    EXPECT_TRUE(read) << qPrintable(read.error());
    EXPECT_EQ(copy.Buttons().Count(), 2);
}

TEST(PropertyPage, TheCaptionColourHasItsOwnChooser)
{
    Page p;
    p.bar->AddButton(Button, QStringLiteral("one"));
    p.select();
    QColor offered;
    p.page.SetColourChooser([&](const QColor &start, const QString &, QWidget *) {
        offered = start;
        return QColor(255, 0, 0);
    });
    auto *button = p.get<QAbstractButton>("cmdForeColor");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->accessibleName(), QStringLiteral("字体颜色"));
    EXPECT_TRUE(button->isEnabled());
    button->click();
    EXPECT_EQ(offered, QColor(0, 0, 0)); // window text, the default caption colour
    EXPECT_TRUE(p.page.Changed());
    EXPECT_EQ(p.bar->Buttons().Item(1)->ForeColor(), int32_t(0x80000008)); // not before the apply
    p.apply();
    EXPECT_EQ(p.bar->Buttons().Item(1)->ForeColor(), 0x0000FF); // red, as an OLE colour
    EXPECT_EQ(p.get<QWidget>("lblHdr_9")->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Cancelled: nothing changes.
    p.page.SetColourChooser([](const QColor &, const QString &, QWidget *) { return QColor(); });
    button->click();
    EXPECT_FALSE(p.page.Changed());
}
