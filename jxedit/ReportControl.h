#pragma once

#include "jxedit/FunctionControl.h"
#include "jxedit/FunctionDefinition.h"

class QTextBrowser;
class QFormLayout;

namespace jxedit {

/// "JxEdit.oReport" and, with parameters, "JxEdit.oeditrpt": a report document
/// shown on screen, with print preview, printing and PDF export.
/// oReport: Py_Init(context, configuration, program number, caption).
/// oeditrpt: Py_Init(context, configuration, program number[, parameter
/// object by reference]); the parameters the user asks for are added to that
/// object (a new one is handed back when the host passed none).
class ReportControl : public FunctionControl
{
public:
    explicit ReportControl(bool withParameters);
    bool exportPdf(const QString &path, QString &why);
    bool refresh();
    QString reportText() const;

protected:
    bool start(const com::DispArgs &args) override;

private:
    void buildParameterPanel();
    QString conditions(QString &sql, QVariantList &params) const;
    void storeParameters();
    void preview();
    void print();

    bool m_withParameters;
    FunctionDefinition m_def;
    QString m_caption;
    QTextBrowser *m_view;
    QWidget *m_panel = nullptr;
    com::ComPtr<IDispatch> m_set;
};


} // namespace jxedit
