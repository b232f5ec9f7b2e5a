#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class frmGfzc;
}

// Home-loan calculator: equal-instalment and equal-principal schedules side by side,
// bank rates from the rate file in the program folder.
class frmGfzc final : public QDialog
{
    Q_OBJECT

public:
    explicit frmGfzc(QWidget *parent = nullptr);
    ~frmGfzc() override;

    // Text of result box 0 (equal instalments) or 1 (equal principal), lines ending in CR LF.
    QString resultText(int index) const;

public slots:
    void calculate();
    void clearResults();

private slots:
    void fillRates();
    void modeChanged();

private:
    void setResult(int index, const QString &text);
    void appendResult(int index, const QString &text);
    void syncResults();

    std::unique_ptr<Ui::frmGfzc> ui;
    QString m_result[2];
};
