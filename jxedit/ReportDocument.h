#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/FunctionDefinition.h"
#include "platform/com/Result.h"

#include <QDate>
#include <QString>

class QPagedPaintDevice;
class QTextDocument;

namespace jxedit {

/// A printable report: title, agency, date, period and conditions at the head,
/// the rows grouped by the definition's group field with a subtotal under each
/// group and a grand total at the end. On paper and in a PDF every page
/// repeats the column headers and carries the running head (title and
/// period) and its page number.
class ReportDocument
{
public:
    struct Head
    {
        QString title, company, conditions;
        QDate date;
        QString period; // "统计期间：…", empty when the report counts no period
    };
    static QString html(const Head &head, const FunctionDefinition &def, const DataLink::Rows &rows);
    /// The line at the top of every page: the title, then the period if any.
    static QString runningHead(const Head &head);
    /// Lays `document` out on the device's pages and paints them, each with
    /// `running` at its top and "第 n 页 / 共 N 页" at its foot; fails with
    /// the reason when the device cannot be painted on.
    static jx::Result<> paint(QTextDocument &document, QPagedPaintDevice &device, const QString &running);
    /// Writes `document` as an A4 PDF, paginated as paint() does.
    static jx::Result<> writePdf(QTextDocument &document, const QString &path, const QString &running);
};

} // namespace jxedit
