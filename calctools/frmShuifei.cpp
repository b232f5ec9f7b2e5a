#include "calctools/frmShuifei.h"

#include "ui_frmShuifei.h"

#include "calctools/TaxCalculation.h"
#include "platform/ReportingRun.h"

#include <exception>

frmShuifei::frmShuifei(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmShuifei>())
{
    ui->setupUi(this);
    ui->lblNote->setText(QStringLiteral("购房需交纳的第一组税费是契税、印花税、交易手续费、权属登记费。\r\n\r\n"));
    ui->lblLink->setText(QStringLiteral("<a href=\"http://www.langshisoft.com\">朗石软件 www.langshisoft.com</a>"));
    setResult(QStringLiteral("请填写房款价格后点＜开始计算＞\r\n"));

    connect(ui->txt_0, &QLineEdit::textChanged, this, &frmShuifei::updateTotal);
    connect(ui->txt_1, &QLineEdit::textChanged, this, &frmShuifei::updateTotal);
    connect(ui->Button1, &QPushButton::clicked, this, &frmShuifei::calculate);
    connect(ui->Button2, &QPushButton::clicked, this, &frmShuifei::clearAll);
}

frmShuifei::~frmShuifei() = default;

QString frmShuifei::resultText() const
{
    return m_result;
}

void frmShuifei::updateTotal()
{
    ui->txt_2->setText(TaxCalculation::totalFieldText(ui->txt_0->text(), ui->txt_1->text()));
}

void frmShuifei::calculate()
{
    jx::runReporting(QStringLiteral("运行时发生错误,原因:"),
                     [this] { setResult(TaxCalculation::resultText(ui->txt_2->text())); }, jx::Exclamation,
                     QStringLiteral("错误:"));
}

void frmShuifei::clearAll()
{
    // Each clearing of a factor recomputes the total, so the total is cleared last.
    ui->txt_0->clear();
    ui->txt_1->clear();
    ui->txt_2->clear();
    setResult(QString());
}

void frmShuifei::setResult(const QString &text)
{
    m_result = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui->txtResult->setPlainText(shown);
}
