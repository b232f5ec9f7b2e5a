#include "CalcTestSupport.h"

#include "calctools/frmGfzc.h"
#include "calctools/frmShuifei.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

namespace {

const QByteArray kRates = R"(<?xml version="1.0" encoding="UTF-8"?>
<root>
  <loan>
    <item id="1" caption="测试利率 2015-10-24" short="6" long="6.55"/>
    <item id="2" caption="零利率" short="0" long="0"/>
    <item id="4" caption="缺失" short="1" long="1"/>
  </loan>
  <fund>
    <item id="1" caption="公积金 2015-08-26" short="2.75" long="3.25"/>
    <item id="2" short="9" long="9"/>
    <item id="3" caption="不应出现" short="9" long="9"/>
  </fund>
</root>
)";

template <typename T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

void selectData(QComboBox *box, int data)
{
    const int i = box->findData(data);
    ASSERT_GE(i, 0) << data;
    box->setCurrentIndex(i);
}

QStringList lines(const QString &text)
{
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    QStringList l = text.split(QStringLiteral("\r\n"));
    l.removeLast();
    return l;
}

} // namespace

class LoanForm : public CalcFixture
{
protected:
    void SetUp() override
    {
        CalcFixture::SetUp();
        writeRates(kRates);
        form = std::make_unique<frmGfzc>();
    }

    void byTotal(const QString &total, int months, int rateId)
    {
        child<QRadioButton>(form.get(), "Option1_1")->setChecked(true);
        child<QLineEdit>(form.get(), "txt_4")->setText(total);
        selectData(child<QComboBox>(form.get(), "cmb2"), months);
        selectData(child<QComboBox>(form.get(), "Combo1"), rateId);
    }

    void byArea(const QString &price, const QString &area, int ratio, int months, int rateId)
    {
        child<QRadioButton>(form.get(), "Option1_0")->setChecked(true);
        child<QLineEdit>(form.get(), "txt_0")->setText(price);
        child<QLineEdit>(form.get(), "txt_1")->setText(area);
        selectData(child<QComboBox>(form.get(), "Combo2"), ratio);
        selectData(child<QComboBox>(form.get(), "cmb2"), months);
        selectData(child<QComboBox>(form.get(), "Combo1"), rateId);
    }

    void compute() { child<QPushButton>(form.get(), "Button1")->click(); }

    std::unique_ptr<frmGfzc> form;
};

TEST_F(LoanForm, OpensWithListsFilledAndNothingSelected)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("购房贷款支出计算器"));
    auto *cmb1 = child<QComboBox>(form.get(), "cmb1");
    ASSERT_EQ(cmb1->count(), 2);
    EXPECT_EQ(cmb1->currentText(), QStringLiteral("商业贷款"));
    EXPECT_EQ(cmb1->itemText(1), QStringLiteral("公积金"));

    auto *ratio = child<QComboBox>(form.get(), "Combo2");
    ASSERT_EQ(ratio->count(), 8);
    EXPECT_EQ(ratio->itemText(0), QStringLiteral("9成"));
    EXPECT_EQ(ratio->itemData(0).toInt(), 9);
    EXPECT_EQ(ratio->itemText(7), QStringLiteral("2成"));
    EXPECT_EQ(ratio->itemData(7).toInt(), 2);
    EXPECT_EQ(ratio->currentIndex(), -1);

    auto *term = child<QComboBox>(form.get(), "cmb2");
    ASSERT_EQ(term->count(), 22);
    EXPECT_EQ(term->itemText(0), QStringLiteral("1年(12)期"));
    EXPECT_EQ(term->itemText(19), QStringLiteral("20年(240)期"));
    EXPECT_EQ(term->itemData(19).toInt(), 240);
    EXPECT_EQ(term->itemText(20), QStringLiteral("25年(300)期"));
    EXPECT_EQ(term->itemData(21).toInt(), 360);
    EXPECT_EQ(term->currentIndex(), -1);

    auto *rates = child<QComboBox>(form.get(), "Combo1");
    ASSERT_EQ(rates->count(), 3);
    EXPECT_EQ(rates->currentIndex(), -1);

    EXPECT_EQ(child<QRadioButton>(form.get(), "Option1_0")->text(), QStringLiteral("根据面积、单价计算 "));
    EXPECT_EQ(child<QRadioButton>(form.get(), "Option1_1")->text(), QStringLiteral("根据贷款总额"));
    EXPECT_TRUE(child<QRadioButton>(form.get(), "Option1_0")->isChecked());
    EXPECT_TRUE(child<QLineEdit>(form.get(), "txt_4")->isHidden());
    EXPECT_FALSE(child<QLineEdit>(form.get(), "txt_0")->isHidden());
    EXPECT_TRUE(messages.empty());
}

TEST_F(LoanForm, CategoryChangeRefillsRatesUpToMissingCaption)
{
    auto *rates = child<QComboBox>(form.get(), "Combo1");
    child<QComboBox>(form.get(), "cmb1")->setCurrentIndex(1);
    ASSERT_EQ(rates->count(), 1);
    EXPECT_EQ(rates->itemText(0), QStringLiteral("公积金 2015-08-26"));
    EXPECT_EQ(rates->currentIndex(), -1);
    child<QComboBox>(form.get(), "cmb1")->setCurrentIndex(0);
    EXPECT_EQ(rates->count(), 3);
}

TEST_F(LoanForm, ModeSwitchShowsEitherAreaOrTotal)
{
    child<QRadioButton>(form.get(), "Option1_1")->setChecked(true);
    EXPECT_FALSE(child<QLineEdit>(form.get(), "txt_4")->isHidden());
    EXPECT_TRUE(child<QLineEdit>(form.get(), "txt_0")->isHidden());
    EXPECT_TRUE(child<QLineEdit>(form.get(), "txt_1")->isHidden());
    EXPECT_TRUE(child<QComboBox>(form.get(), "Combo2")->isHidden());
    child<QRadioButton>(form.get(), "Option1_0")->setChecked(true);
    EXPECT_TRUE(child<QLineEdit>(form.get(), "txt_4")->isHidden());
    EXPECT_FALSE(child<QComboBox>(form.get(), "Combo2")->isHidden());
}

TEST_F(LoanForm, WorkedExampleByTotalWithSeparators)
{
    byTotal(QStringLiteral("100,000"), 12, 1);
    compute();
    ASSERT_TRUE(messages.empty()) << messages.front().text.toStdString();

    const QStringList a = lines(form->resultText(0));
    ASSERT_EQ(a.size(), 19);
    EXPECT_EQ(a[0], QStringLiteral("贷款总额: 100,000.00元"));
    EXPECT_EQ(a[1], QStringLiteral("月均还款: 8,606.64"));
    EXPECT_EQ(a[2], QStringLiteral("还款总额: 103,279.72"));
    EXPECT_EQ(a[3], QStringLiteral("利息总额: 3,279.72"));
    EXPECT_EQ(a[4], QString());
    EXPECT_EQ(a[5], QStringLiteral(" --- 还款单 "));
    EXPECT_EQ(a[6], QStringLiteral(" 期次 偿还利息  偿还本金  偿还本息  剩余本金 "));
    EXPECT_EQ(a[7], QStringLiteral(" 001  500.00  8,106.64  8,606.64  91,893.36"));
    EXPECT_EQ(a[8], QStringLiteral(" 002  459.47  8,147.17  8,606.64  83,746.19"));
    EXPECT_EQ(a[18], QStringLiteral(" 012  42.82  8,563.82  8,606.64  .00"));

    const QStringList b = lines(form->resultText(1));
    ASSERT_EQ(b.size(), 19);
    EXPECT_EQ(b[0], QStringLiteral("贷款总额: 100,000.00元"));
    EXPECT_EQ(b[1], QStringLiteral("每期还款本金: 8,333.33"));
    EXPECT_EQ(b[2], QStringLiteral("还款总额: 103,250.00"));
    EXPECT_EQ(b[3], QStringLiteral("利息总额: 3,250.00"));
    EXPECT_EQ(b.mid(4, 3), a.mid(4, 3));
    EXPECT_EQ(b[7], QStringLiteral(" 001  500.00  8,333.33  8,833.33  91,666.67"));
    EXPECT_EQ(b[8], QStringLiteral(" 002  458.33  8,333.33  8,791.66  83,333.34"));
    EXPECT_EQ(b[18], QStringLiteral(" 012  41.67  8,333.33  8,375.00  .00"));

    // The box shows the same lines.
    QString shown = form->resultText(0);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(child<QPlainTextEdit>(form.get(), "txtResult_0")->toPlainText(), shown);
}

TEST_F(LoanForm, SixtyMonthsUseShortRateSeventyTwoUseLong)
{
    byTotal(QStringLiteral("100000"), 60, 1);
    compute();
    // 6 % a year: first interest 100000 * 0.005.
    EXPECT_TRUE(lines(form->resultText(0))[7].startsWith(QStringLiteral(" 001  500.00  ")));
    byTotal(QStringLiteral("100000"), 72, 1);
    compute();
    // 6.55 % a year (read in single precision): 100000 * 6.55 / 1200 = 545.83.
    EXPECT_TRUE(lines(form->resultText(0))[7].startsWith(QStringLiteral(" 001  545.83  ")));
    EXPECT_TRUE(lines(form->resultText(1))[7].startsWith(QStringLiteral(" 001  545.83  ")));
    EXPECT_TRUE(messages.empty());
}

TEST_F(LoanForm, AreaModeComputesHouseTotalAndLoan)
{
    byArea(QStringLiteral("5,000"), QStringLiteral("100"), 7, 360, 1);
    compute();
    ASSERT_TRUE(messages.empty());
    EXPECT_EQ(child<QLineEdit>(form.get(), "txt_4")->text(), QStringLiteral("350000.00"));
    for (int box = 0; box < 2; ++box) {
        const QStringList l = lines(form->resultText(box));
        ASSERT_EQ(l.size(), 2 + 3 + 1 + 2 + 360);
        EXPECT_EQ(l[0], QStringLiteral("房价总额: 500,000.00元"));
        EXPECT_EQ(l[1], QStringLiteral("贷款总额: 350,000.00元"));
        EXPECT_TRUE(l.last().startsWith(QStringLiteral(" 360  ")));
        EXPECT_TRUE(l.last().endsWith(QStringLiteral("  .00")));
    }
}

TEST_F(LoanForm, CaptionsAndLabels)
{
    const std::pair<const char *, QString> labels[] = {
        {"lblCmb1", QStringLiteral("贷款类别：")}, {"lblOption1", QStringLiteral("计算方式：")},
        {"lblTxt_0", QStringLiteral("成交单价:")}, {"unitTxt_0", QStringLiteral("元/平米")},
        {"lblTxt_1", QStringLiteral("房屋面积:")}, {"unitTxt_1", QStringLiteral("平方米")},
        {"lblCombo2", QStringLiteral("按揭成数:")}, {"lblTxt_4", QStringLiteral("贷款总额:")},
        {"lblCmb2", QStringLiteral("按揭年数：")},  {"lblCombo1", QStringLiteral("银行利率：")}};
    for (const auto &[name, text] : labels)
        EXPECT_EQ(child<QLabel>(form.get(), name)->text(), text) << name;
    EXPECT_EQ(child<QPushButton>(form.get(), "Button1")->text(), QStringLiteral("开始计算"));
    EXPECT_EQ(child<QPushButton>(form.get(), "Button2")->text(), QStringLiteral("重新计算"));
    EXPECT_EQ(child<QGroupBox>(form.get(), "frameResult_0")->title(), QStringLiteral("等额本息还款法计算结果"));
    EXPECT_EQ(child<QGroupBox>(form.get(), "frameResult_1")->title(), QStringLiteral("等额本金还款法计算结果"));
    // The labels follow their fields.
    child<QRadioButton>(form.get(), "Option1_1")->setChecked(true);
    EXPECT_TRUE(child<QLabel>(form.get(), "lblTxt_0")->isHidden());
    EXPECT_TRUE(child<QLabel>(form.get(), "lblCombo2")->isHidden());
    EXPECT_FALSE(child<QLabel>(form.get(), "lblTxt_4")->isHidden());
}

TEST_F(LoanForm, HouseTotalAndLoanAreHeldInSinglePrecision)
{
    // 12345.67 x 89.01 = 1098888.0867; the nearest single is 1098888.125, and 7 tenths of it 769221.6875.
    byArea(QStringLiteral("12345.67"), QStringLiteral("89.01"), 7, 12, 1);
    compute();
    ASSERT_TRUE(messages.empty());
    EXPECT_EQ(child<QLineEdit>(form.get(), "txt_4")->text(), QStringLiteral("769221.69"));
    const QStringList area = lines(form->resultText(0));
    ASSERT_GE(area.size(), 2);
    EXPECT_EQ(area[0], QStringLiteral("房价总额: 1,098,888.13元"));
    EXPECT_EQ(area[1], QStringLiteral("贷款总额: 769,221.69元"));

    // A typed 1,234,567.8 is lent as 1234567.75, while its own line shows the text's value.
    byTotal(QStringLiteral("1,234,567.8"), 12, 1);
    compute();
    ASSERT_TRUE(messages.empty());
    const QStringList a = lines(form->resultText(0));
    const QStringList b = lines(form->resultText(1));
    ASSERT_GE(a.size(), 4);
    ASSERT_GE(b.size(), 4);
    EXPECT_EQ(a[0], QStringLiteral("贷款总额: 1,234,567.80元"));
    EXPECT_EQ(a[1], QStringLiteral("月均还款: 106,254.84"));
    EXPECT_EQ(a[2], QStringLiteral("还款总额: 1,275,058.06"));
    EXPECT_EQ(a[3], QStringLiteral("利息总额: 40,490.31"));
    EXPECT_EQ(b[1], QStringLiteral("每期还款本金: 102,880.65"));
    EXPECT_EQ(b[2], QStringLiteral("还款总额: 1,274,691.21"));
}

TEST_F(LoanForm, RateIsReadInSinglePrecisionThirtyYears)
{
    // The long rate 6.55 as a single (6.55000019...) shows in the cents of a 1,000,000 loan over 360 months.
    byTotal(QStringLiteral("1000000"), 360, 1);
    compute();
    ASSERT_TRUE(messages.empty());
    const QStringList a = lines(form->resultText(0));
    const QStringList b = lines(form->resultText(1));
    ASSERT_EQ(a.size(), 7 + 360);
    ASSERT_EQ(b.size(), 7 + 360);
    EXPECT_EQ(a[1], QStringLiteral("月均还款: 6,353.60"));
    EXPECT_EQ(a[2], QStringLiteral("还款总额: 2,287,295.52"));
    EXPECT_EQ(a[3], QStringLiteral("利息总额: 1,287,295.52"));
    EXPECT_EQ(a[7], QStringLiteral(" 001  5,458.33  895.27  6,353.60  999,104.73"));
    EXPECT_EQ(a[15], QStringLiteral(" 009  5,418.49  935.11  6,353.60  991,764.42"));
    EXPECT_EQ(a.last(), QStringLiteral(" 360  34.48  6,319.12  6,353.60  .00"));
    EXPECT_EQ(b[1], QStringLiteral("每期还款本金: 2,777.78"));
    EXPECT_EQ(b[2], QStringLiteral("还款总额: 1,985,228.41"));
    EXPECT_EQ(b[3], QStringLiteral("利息总额: 985,228.41"));
    EXPECT_EQ(b[7], QStringLiteral(" 001  5,458.33  2,777.78  8,236.11  997,222.22"));
    EXPECT_EQ(b[16], QStringLiteral(" 010  5,321.88  2,777.78  8,099.66  972,222.20"));
    EXPECT_EQ(b.last(), QStringLiteral(" 360  15.16  2,777.78  2,792.94  .00"));
}

TEST_F(LoanForm, InputsThatAreNotNumbersGiveZeroSchedules)
{
    byTotal(QStringLiteral("abc"), 12, 1);
    compute();
    ASSERT_TRUE(messages.empty());
    const QStringList a = lines(form->resultText(0));
    const QStringList b = lines(form->resultText(1));
    ASSERT_EQ(a.size(), 19);
    ASSERT_EQ(b.size(), 19);
    EXPECT_EQ(a[0], QStringLiteral("贷款总额: .00元"));
    EXPECT_EQ(a[1], QStringLiteral("月均还款: .00"));
    EXPECT_EQ(b[1], QStringLiteral("每期还款本金: .00"));
    EXPECT_EQ(b[2], QStringLiteral("还款总额: .00"));
    for (int i = 7; i < 19; ++i) {
        EXPECT_TRUE(a[i].endsWith(QStringLiteral("  .00  .00  .00  .00"))) << a[i].toStdString();
        EXPECT_TRUE(b[i].endsWith(QStringLiteral("  .00  .00  .00  .00"))) << b[i].toStdString();
    }

    // By area: the loan field gets the zero loan and the lines read it back.
    child<QRadioButton>(form.get(), "Option1_0")->setChecked(true);
    child<QLineEdit>(form.get(), "txt_0")->setText(QStringLiteral("价格"));
    child<QLineEdit>(form.get(), "txt_1")->setText(QStringLiteral("100"));
    selectData(child<QComboBox>(form.get(), "Combo2"), 9);
    compute();
    ASSERT_TRUE(messages.empty());
    EXPECT_EQ(child<QLineEdit>(form.get(), "txt_4")->text(), QStringLiteral(".00"));
    EXPECT_TRUE(form->resultText(1).startsWith(QStringLiteral("房价总额: .00元\r\n贷款总额: .00元\r\n每期还款本金: .00\r\n")));
}

TEST_F(LoanForm, RateIdWithLeadingZerosIsListedButNeverFound)
{
    writeRates(R"(<root><loan><item id="03" caption="前导零" short="6" long="6"/></loan></root>)");
    form = std::make_unique<frmGfzc>();
    auto *rates = child<QComboBox>(form.get(), "Combo1");
    ASSERT_EQ(rates->count(), 1);
    EXPECT_EQ(rates->itemData(0).toInt(), 3);
    byTotal(QStringLiteral("100000"), 12, 3);
    compute();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("运行时发生错误,原因:溢出"));
}

TEST_F(LoanForm, MissingSelectionsAreReportedInOrder)
{
    compute();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("请选择按揭成数后再试!"));
    EXPECT_EQ(messages[0].style, jx::Information);
    EXPECT_EQ(messages[0].title, QStringLiteral("提示:"));

    selectData(child<QComboBox>(form.get(), "Combo2"), 9);
    compute();
    EXPECT_EQ(messages.back().text, QStringLiteral("请选择贷款年限后再试!"));

    selectData(child<QComboBox>(form.get(), "cmb2"), 12);
    compute();
    EXPECT_EQ(messages.back().text, QStringLiteral("请选择银行利率后再试!"));
    EXPECT_EQ(messages.size(), 3u);

    // In by-total mode the ratio is not asked for.
    child<QRadioButton>(form.get(), "Option1_1")->setChecked(true);
    child<QComboBox>(form.get(), "Combo2")->setCurrentIndex(-1);
    compute();
    EXPECT_EQ(messages.back().text, QStringLiteral("请选择银行利率后再试!"));
}

TEST_F(LoanForm, ZeroRateShowsErrorAndKeepsWhatWasWritten)
{
    byTotal(QStringLiteral("100000"), 12, 2);
    compute();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("运行时发生错误,原因:溢出"));
    EXPECT_EQ(messages[0].style, jx::Exclamation);
    EXPECT_EQ(messages[0].title, QStringLiteral("错误:"));
    EXPECT_EQ(form->resultText(0), QStringLiteral("贷款总额: 100,000.00元\r\n"));
    EXPECT_EQ(form->resultText(1), QStringLiteral("贷款总额: 100,000.00元\r\n"));
}

TEST_F(LoanForm, RateIdMissingFromFileEndsInTheErrorMessage)
{
    // The list shows id 4, then the file changes under it.
    writeRates(R"(<root><loan><item id="1" caption="a" short="6" long="6"/></loan></root>)");
    byTotal(QStringLiteral("100000"), 12, 4);
    compute();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("运行时发生错误,原因:")));
}

TEST_F(LoanForm, HugeAreaOverflowsWithoutCrash)
{
    byArea(QStringLiteral("1e30"), QStringLiteral("1e30"), 7, 12, 1);
    compute();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("运行时发生错误,原因:溢出"));
    EXPECT_EQ(form->resultText(0), QString());
}

TEST_F(LoanForm, ClearEmptiesResultsButKeepsInputs)
{
    byTotal(QStringLiteral("100000"), 12, 1);
    compute();
    ASSERT_FALSE(form->resultText(0).isEmpty());
    child<QPushButton>(form.get(), "Button2")->click();
    EXPECT_EQ(form->resultText(0), QString());
    EXPECT_EQ(form->resultText(1), QString());
    EXPECT_EQ(child<QPlainTextEdit>(form.get(), "txtResult_1")->toPlainText(), QString());
    EXPECT_EQ(child<QLineEdit>(form.get(), "txt_4")->text(), QStringLiteral("100000"));
}

TEST_F(LoanForm, MissingRateFileIsReportedOnOpen)
{
    QFile::remove(dir.filePath(QStringLiteral("interest.xml")));
    messages.clear();
    frmGfzc other;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("未在运行目录里找到利率文件(interest.xml)"));
    EXPECT_EQ(messages[0].style, jx::Exclamation);
    EXPECT_EQ(messages[0].title, QStringLiteral("提示:"));
    EXPECT_EQ(child<QComboBox>(&other, "Combo1")->count(), 0);
}

TEST_F(LoanForm, BrokenRateFileIsReported)
{
    writeRates("not xml at all");
    messages.clear();
    frmGfzc other;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("加载利率表时出错,"));
    EXPECT_EQ(messages[0].title, QStringLiteral("错误:"));
}

class TaxForm : public CalcFixture
{
protected:
    frmShuifei form;
};

TEST_F(TaxForm, OpensWithHint)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("税率计算器"));
    EXPECT_EQ(form.resultText(), QStringLiteral("请填写房款价格后点＜开始计算＞\r\n"));
}

TEST_F(TaxForm, CaptionsAndLabels)
{
    const std::pair<const char *, QString> labels[] = {
        {"lblTxt_0", QStringLiteral("单价")},     {"unitTxt_0", QStringLiteral("元/平米")},
        {"lblTxt_1", QStringLiteral("面积")},     {"unitTxt_1", QStringLiteral("平方米")},
        {"lblTxt_2", QStringLiteral("房款总价")}, {"unitTxt_2", QStringLiteral("元")},
        {"lblResult", QStringLiteral("计算结果：")},
        {"lblNote", QStringLiteral("购房需交纳的第一组税费是契税、印花税、交易手续费、权属登记费。\r\n\r\n")}};
    for (const auto &[name, text] : labels)
        EXPECT_EQ(child<QLabel>(&form, name)->text(), text) << name;
    EXPECT_EQ(child<QPushButton>(&form, "Button1")->text(), QStringLiteral("开始计算"));
    EXPECT_EQ(child<QPushButton>(&form, "Button2")->text(), QStringLiteral("重新计算"));
}

TEST_F(TaxForm, EditingTheTotalChangesNothingElse)
{
    child<QLineEdit>(&form, "txt_0")->setText(QStringLiteral("8000"));
    child<QLineEdit>(&form, "txt_1")->setText(QStringLiteral("1,200"));
    // The area reads as 1: no separators are removed from the factors.
    EXPECT_EQ(child<QLineEdit>(&form, "txt_2")->text(), QStringLiteral("8,000.00"));
    child<QLineEdit>(&form, "txt_2")->setText(QStringLiteral("0"));
    EXPECT_EQ(child<QLineEdit>(&form, "txt_0")->text(), QStringLiteral("8000"));
    EXPECT_EQ(child<QLineEdit>(&form, "txt_1")->text(), QStringLiteral("1,200"));
    EXPECT_EQ(form.resultText(), QStringLiteral("请填写房款价格后点＜开始计算＞\r\n"));
}

TEST_F(TaxForm, PriceTimesAreaFillsTotalAndComputes)
{
    child<QLineEdit>(&form, "txt_0")->setText(QStringLiteral("8000"));
    child<QLineEdit>(&form, "txt_1")->setText(QStringLiteral("100"));
    EXPECT_EQ(child<QLineEdit>(&form, "txt_2")->text(), QStringLiteral("800,000.00"));
    child<QPushButton>(&form, "Button1")->click();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(form.resultText(), QStringLiteral("      房款总价：800000\r\n"
                                                "      印 花 税：400\r\n"
                                                "      公 证 费：2400\r\n"
                                                "      契\u3000\u3000税：12000\r\n"
                                                "委托办理手续费：2400\r\n"
                                                "房屋买卖手续费：500\r\n"));
}

TEST_F(TaxForm, TypedTotalIsSinglePrecision)
{
    child<QLineEdit>(&form, "txt_2")->setText(QStringLiteral("1,234,567.8"));
    child<QPushButton>(&form, "Button1")->click();
    const QStringList l = lines(form.resultText());
    ASSERT_EQ(l.size(), 6);
    EXPECT_EQ(l[0], QStringLiteral("      房款总价：1234568"));
    EXPECT_EQ(l[3], QStringLiteral("      契\u3000\u3000税：18518.51625"));
}

TEST_F(TaxForm, OverflowKeepsPreviousResult)
{
    child<QLineEdit>(&form, "txt_2")->setText(QStringLiteral("1e39"));
    child<QPushButton>(&form, "Button1")->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("运行时发生错误,原因:溢出"));
    EXPECT_EQ(messages[0].style, jx::Exclamation);
    EXPECT_EQ(messages[0].title, QStringLiteral("错误:"));
    EXPECT_EQ(form.resultText(), QStringLiteral("请填写房款价格后点＜开始计算＞\r\n"));
}

TEST_F(TaxForm, ClearLeavesEverythingEmpty)
{
    child<QLineEdit>(&form, "txt_0")->setText(QStringLiteral("8000"));
    child<QLineEdit>(&form, "txt_1")->setText(QStringLiteral("100"));
    child<QPushButton>(&form, "Button1")->click();
    child<QPushButton>(&form, "Button2")->click();
    for (const char *name : {"txt_0", "txt_1", "txt_2"})
        EXPECT_EQ(child<QLineEdit>(&form, name)->text(), QString()) << name;
    EXPECT_EQ(form.resultText(), QString());
    EXPECT_EQ(child<QPlainTextEdit>(&form, "txtResult")->toPlainText(), QString());
}
