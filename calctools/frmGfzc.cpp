#include "calctools/frmGfzc.h"

#include "ui_frmGfzc.h"

#include "calctools/CalcNumber.h"
#include "calctools/LoanSchedule.h"
#include "calctools/RateFile.h"
#include "platform/MessageBox.h"
#include "platform/ReportingRun.h"

#include <exception>

namespace {

const QString kCommercial = QStringLiteral("商业贷款");
const QString kHousingFund = QStringLiteral("公积金");
const QString kHint = QStringLiteral("提示:");
const QString kError = QStringLiteral("错误:");

} // namespace

frmGfzc::frmGfzc(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmGfzc>())
{
    ui->setupUi(this);
    ui->lblLink->setText(QStringLiteral("<a href=\"http://www.langshisoft.com\">朗石软件 www.langshisoft.com</a>"));

    QFont fixed(QStringLiteral("monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    ui->txtResult_0->setFont(fixed);
    ui->txtResult_1->setFont(fixed);

    for (int ratio = 9; ratio >= 2; --ratio)
        ui->Combo2->addItem(QString::number(ratio) + QStringLiteral("成"), ratio);
    for (int years = 1; years <= 20; ++years)
        ui->cmb2->addItem(QString::number(years) + QStringLiteral("年(") + QString::number(years * 12)
                              + QStringLiteral(")期"),
                          years * 12);
    ui->cmb2->addItem(QStringLiteral("25年(300)期"), 300);
    ui->cmb2->addItem(QStringLiteral("30年(360)期"), 360);
    ui->Combo2->setCurrentIndex(-1);
    ui->cmb2->setCurrentIndex(-1);

    ui->cmb1->addItem(kCommercial);
    ui->cmb1->addItem(kHousingFund);
    ui->cmb1->setCurrentIndex(0);

    modeChanged();
    fillRates();

    connect(ui->cmb1, &QComboBox::currentIndexChanged, this, &frmGfzc::fillRates);
    connect(ui->Option1_0, &QRadioButton::toggled, this, &frmGfzc::modeChanged);
    connect(ui->Button1, &QPushButton::clicked, this, &frmGfzc::calculate);
    connect(ui->Button2, &QPushButton::clicked, this, &frmGfzc::clearResults);
}

frmGfzc::~frmGfzc() = default;

QString frmGfzc::resultText(int index) const
{
    return (index == 0 || index == 1) ? m_result[index] : QString();
}

void frmGfzc::fillRates()
{
    ui->Combo1->clear();
    const QString file = RateFile::locate();
    if (file.isEmpty()) {
        jx::msgBox(QStringLiteral("未在运行目录里找到利率文件(interest.xml)"), jx::Exclamation, kHint);
        return;
    }
    QList<RateFile::Item> items;
    if (!RateFile::list(file, ui->cmb1->currentIndex() == 1 ? RateFile::HousingFund : RateFile::Commercial, items)) {
        jx::msgBox(QStringLiteral("加载利率表时出错,"), jx::Exclamation, kError);
        return;
    }
    for (const RateFile::Item &item : items)
        ui->Combo1->addItem(item.caption, item.id);
    ui->Combo1->setCurrentIndex(-1);
}

void frmGfzc::modeChanged()
{
    const bool byArea = ui->Option1_0->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(ui->txt_0), static_cast<QWidget *>(ui->lblTxt_0),
                       static_cast<QWidget *>(ui->unitTxt_0), static_cast<QWidget *>(ui->txt_1),
                       static_cast<QWidget *>(ui->lblTxt_1), static_cast<QWidget *>(ui->unitTxt_1),
                       static_cast<QWidget *>(ui->Combo2), static_cast<QWidget *>(ui->lblCombo2)})
        w->setVisible(byArea);
    ui->txt_4->setVisible(!byArea);
    ui->lblTxt_4->setVisible(!byArea);
}

void frmGfzc::clearResults()
{
    setResult(0, QString());
    setResult(1, QString());
}

void frmGfzc::setResult(int index, const QString &text)
{
    m_result[index] = text;
    syncResults();
}

void frmGfzc::appendResult(int index, const QString &text)
{
    m_result[index] += text;
    syncResults();
}

void frmGfzc::syncResults()
{
    QPlainTextEdit *boxes[2] = {ui->txtResult_0, ui->txtResult_1};
    for (int i = 0; i < 2; ++i) {
        QString shown = m_result[i];
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (boxes[i]->toPlainText() != shown)
            boxes[i]->setPlainText(shown);
    }
}

void frmGfzc::calculate()
{
    if (!ui->Combo2->isHidden() && ui->Combo2->currentIndex() < 0) {
        jx::msgBox(QStringLiteral("请选择按揭成数后再试!"), jx::Information, kHint);
        return;
    }
    if (ui->cmb2->currentIndex() < 0) {
        jx::msgBox(QStringLiteral("请选择贷款年限后再试!"), jx::Information, kHint);
        return;
    }
    if (ui->Combo1->currentIndex() < 0) {
        jx::msgBox(QStringLiteral("请选择银行利率后再试!"), jx::Information, kHint);
        return;
    }
    clearResults();

    // What was calculated before a failure stays shown above the box.
    jx::runReporting(
        QStringLiteral("运行时发生错误,原因:"),
        [&] {
            float loan = 0.0f;
            if (ui->Option1_0->isChecked()) {
                const LoanSchedule::AreaLoan a = LoanSchedule::fromArea(calcnum::valNoSeparators(ui->txt_0->text()),
                                                                        calcnum::valNoSeparators(ui->txt_1->text()),
                                                                        ui->Combo2->currentData().toInt());
                loan = a.loan;
                const QString line = LoanSchedule::houseTotalLine(a.total);
                setResult(0, line);
                setResult(1, line);
                ui->txt_4->setText(calcnum::formatPlain2(loan));
            } else {
                loan = calcnum::toSingle(calcnum::valNoSeparators(ui->txt_4->text()));
            }
            const QString loanLine = LoanSchedule::loanTotalLine(calcnum::valNoSeparators(ui->txt_4->text()));
            appendResult(0, loanLine);
            appendResult(1, loanLine);

            const QString categoryText = ui->cmb1->currentText();
            const int category = categoryText == kCommercial ? 0 : categoryText == kHousingFund ? 1 : -1;
            const int months = ui->cmb2->currentData().toInt();
            const float rate = RateFile::lookup(RateFile::locate(), QString::number(ui->Combo1->currentData().toInt()),
                                                category, months);
            const double monthly = static_cast<double>(rate) / 1200.0;

            LoanSchedule::appendEqualInstalments(m_result[0], loan, monthly, months);
            syncResults();
            LoanSchedule::appendEqualPrincipal(m_result[1], loan, monthly, months);
            syncResults();
        },
        jx::Exclamation, kError, [this] { syncResults(); });
}
