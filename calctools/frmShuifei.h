#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class frmShuifei;
}

// Taxes-and-fees calculator: the first group of taxes and fees of a property purchase.
class frmShuifei final : public QDialog
{
    Q_OBJECT

public:
    explicit frmShuifei(QWidget *parent = nullptr);
    ~frmShuifei() override;

    // Result text, lines ending in CR LF.
    QString resultText() const;

public slots:
    void calculate();
    void clearAll();

private slots:
    void updateTotal();

private:
    void setResult(const QString &text);

    std::unique_ptr<Ui::frmShuifei> ui;
    QString m_result;
};
