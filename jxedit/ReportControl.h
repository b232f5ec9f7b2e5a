#pragma once

#include "jxedit/FunctionControl.h"
#include "jxedit/FunctionDefinition.h"
#include "platform/com/Result.h"

class QTextBrowser;
class QFormLayout;

namespace jxedit {

class PeriodChooser;

/// "JxEdit.oReport" and, with parameters, "JxEdit.oeditrpt": a report document
/// shown on screen, with print preview, printing and PDF export.
/// oReport: Py_Init(context, configuration, program number, caption).
/// oeditrpt: Py_Init(context, configuration, program number[, parameter
/// object by reference]); the parameters the user asks for are added to that
/// object (a new one is handed back when the host passed none).
/// A definition whose parameters name a field of kind "period" counts by a
/// period the user chooses (this month to start with), in either kind: the
/// statement's "{period}" becomes "field>=? and field<=?" (or the rows are
/// narrowed by the field when it says none), and the period heads every page.
class ReportControl : public FunctionControl
{
public:
    explicit ReportControl(bool withParameters);
    jx::Result<> exportPdf(const QString &path);
    bool refresh();
    QString reportText() const;
    PeriodChooser *periodChooser() const { return m_period; }

protected:
    bool start(const com::DispArgs &args) override;

private:
    void buildParameterPanel();
    void buildPeriodChooser();
    QString conditions(QString &sql, QVariantList &params) const;
    void storeParameters();
    void preview();
    void print();

    bool m_withParameters;
    FunctionDefinition m_def;
    QString m_caption;
    QString m_periodField;
    PeriodChooser *m_period = nullptr;
    QString m_runningHead;
    QTextBrowser *m_view;
    QWidget *m_panel = nullptr;
    com::ComPtr<IDispatch> m_set;
};


} // namespace jxedit
