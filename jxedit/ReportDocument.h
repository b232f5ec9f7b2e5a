#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/FunctionDefinition.h"

#include <QDate>
#include <QString>

class QTextDocument;

namespace jxedit {

/// A printable report: title, agency, date and conditions at the head, the
/// rows grouped by the definition's group field with a subtotal under each
/// group and a grand total at the end.
class ReportDocument
{
public:
    struct Head
    {
        QString title, company, conditions;
        QDate date;
    };
    static QString html(const Head &head, const FunctionDefinition &def, const DataLink::Rows &rows);
    /// Writes `document` as an A4 PDF; false with the reason.
    static bool writePdf(QTextDocument &document, const QString &path, QString &why);
};

} // namespace jxedit
