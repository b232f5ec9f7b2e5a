#include "jxedit/ReportDocument.h"

#include "jxedit/RowModel.h"

#include <QAbstractTextDocumentLayout>
#include <QSaveFile>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace jxedit {

namespace {

struct Totals
{
    int count = 0;
    QVector<double> sums;
};

QString cells(const QStringList &texts, const QVector<bool> &right, const QString &tag, const QString &style = {})
{
    QString row = QStringLiteral("<tr%1>").arg(style.isEmpty() ? QString() : QStringLiteral(" style=\"%1\"").arg(style));
    for (int i = 0; i < texts.size(); ++i)
        row += QStringLiteral("<%1 align=\"%2\">%3</%1>").arg(tag, right.value(i) ? QStringLiteral("right") : QStringLiteral("left"),
                                                            texts.at(i).toHtmlEscaped());
    return row + QStringLiteral("</tr>");
}

// The page's title, its line of company, date, period and conditions, and the table's start.
QString opening(const ReportDocument::Head &head)
{
    QString out = QStringLiteral("<html><body style=\"font-family:'Noto Sans CJK SC','WenQuanYi Micro Hei',sans-serif;\">");
    out += QStringLiteral("<h2 align=\"center\">%1</h2>").arg(head.title.toHtmlEscaped());
    out += QStringLiteral("<p>%1　　日期：%2%3%4</p>")
               .arg(head.company.toHtmlEscaped(), head.date.toString(QStringLiteral("yyyy-MM-dd")),
                    head.period.isEmpty() ? QString() : QStringLiteral("　　") + head.period.toHtmlEscaped(),
                    head.conditions.isEmpty() ? QString() : QStringLiteral("　　条件：") + head.conditions.toHtmlEscaped());
    out += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" style=\"border-collapse:collapse;\">");
    return out;
}

// Rows of a group (the value of field `groupSource`; none when negative) kept
// together in the order the groups first appear, whatever order the statement
// gave them in.
QVector<const QVector<QVariant> *> groupedRows(const DataLink::Rows &rows, int groupSource)
{
    QVector<const QVector<QVariant> *> ordered;
    ordered.reserve(rows.rows.size());
    if (groupSource < 0) {
        for (const QVector<QVariant> &row : rows.rows)
            ordered.append(&row);
        return ordered;
    }
    QStringList groups;
    QHash<QString, QVector<const QVector<QVariant> *>> members;
    for (const QVector<QVariant> &row : rows.rows) {
        const QString g = row.value(groupSource).toString();
        if (!members.contains(g))
            groups << g;
        members[g].append(&row);
    }
    for (const QString &g : groups)
        ordered += members.value(g);
    return ordered;
}

} // namespace

QString ReportDocument::html(const Head &head, const FunctionDefinition &def, const DataLink::Rows &rows)
{
    QVector<int> source;
    QVector<bool> right;
    QStringList captions;
    for (const ColumnDef &c : def.columns) {
        source << int(rows.columns.indexOf(c.field)) ;
        for (int i = 0; i < rows.columns.size(); ++i)
            if (rows.columns.at(i).compare(c.field, Qt::CaseInsensitive) == 0)
                source.last() = i;
        right << c.isNumeric();
        captions << c.caption;
    }
    QVector<int> totalColumns;
    for (const QString &f : def.totalFields)
        if (const int c = def.columnIndex(f); c >= 0)
            totalColumns << c;
    const int groupColumn = def.groupField.isEmpty() ? -1 : def.columnIndex(def.groupField);

    auto totalRow = [&](const QString &label, const Totals &t) {
        QStringList texts;
        for (int c = 0; c < def.columns.size(); ++c) {
            const int k = int(totalColumns.indexOf(c));
            texts << (k >= 0 ? RowModel::text(def.columns.at(c), t.sums.value(k)) : QString());
        }
        texts[0] = QStringLiteral("%1（%2 行）").arg(label).arg(t.count);
        return cells(texts, right, QStringLiteral("td"), QStringLiteral("font-weight:bold;background-color:#eef3fa;"));
    };

    QString out = opening(head);
    // A header row in <thead> is repeated at the top of every page the table runs onto.
    out += QStringLiteral("<thead>") + cells(captions, right, QStringLiteral("th"), QStringLiteral("background-color:#d9e4f2;"))
        + QStringLiteral("</thead>");
    Totals grand, group;
    grand.sums.resize(totalColumns.size());
    group.sums.resize(totalColumns.size());
    const QVector<const QVector<QVariant> *> ordered =
        groupedRows(rows, groupColumn >= 0 ? source.at(groupColumn) : -1);
    QString currentGroup;
    bool first = true;
    for (const QVector<QVariant> *rowPtr : ordered) {
        const QVector<QVariant> &row = *rowPtr;
        auto valueAt = [&](int c) {
            const QVariant v = source.at(c) >= 0 ? row.value(source.at(c)) : QVariant();
            return def.columns.at(c).isNumeric() && v.isValid() ? QVariant(v.toDouble()) : v;
        };
        if (groupColumn >= 0) {
            const QString g = valueAt(groupColumn).toString();
            if (!first && g != currentGroup) {
                out += totalRow(QStringLiteral("小计 ") + currentGroup, group);
                group = Totals();
                group.sums.resize(totalColumns.size());
            }
            currentGroup = g;
        }
        first = false;
        QStringList texts;
        for (int c = 0; c < def.columns.size(); ++c)
            texts << RowModel::text(def.columns.at(c), valueAt(c));
        out += cells(texts, right, QStringLiteral("td"));
        ++group.count;
        ++grand.count;
        for (int k = 0; k < totalColumns.size(); ++k) {
            const double v = valueAt(totalColumns.at(k)).toDouble();
            group.sums[k] += v;
            grand.sums[k] += v;
        }
    }
    if (groupColumn >= 0 && !first)
        out += totalRow(QStringLiteral("小计 ") + currentGroup, group);
    out += totalRow(QStringLiteral("合计"), grand);
    out += QStringLiteral("</table></body></html>");
    return out;
}

QString ReportDocument::runningHead(const Head &head)
{
    return head.period.isEmpty() ? head.title : head.title + QStringLiteral("　　") + head.period;
}

jx::Result<> ReportDocument::paint(QTextDocument &document, QPagedPaintDevice &device, const QString &running)
{
    QPainter painter;
    if (!painter.begin(&device))
        return jx::fail(QStringLiteral("无法开始打印：打印机或文件不可用"));
    document.documentLayout()->setPaintDevice(&device);
    const QSizeF page(device.width(), device.height());
    QFont small(QStringLiteral("Noto Sans CJK SC"), 9);
    const QFontMetricsF metrics(small, &device);
    // A band above and below the body holds the running head and the page number.
    const double band = metrics.height() * 2;
    const QSizeF body(page.width(), page.height() - 2 * band);
    document.setPageSize(body);
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return jx::fail(QStringLiteral("无法开始第 %1 页").arg(i + 1));
        }
        painter.save();
        painter.translate(0, band - i * body.height());
        const QRectF view(0, i * body.height(), body.width(), body.height());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        painter.setFont(small);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, 0, page.width(), band * 0.8), Qt::AlignLeft | Qt::AlignVCenter, running);
        painter.drawText(QRectF(0, page.height() - band * 0.8, page.width(), band * 0.8), Qt::AlignHCenter | Qt::AlignVCenter,
                         QStringLiteral("第 %1 页 / 共 %2 页").arg(i + 1).arg(pages));
    }
    painter.end();
    return {};
}

jx::Result<> ReportDocument::writePdf(QTextDocument &document, const QString &path, const QString &running)
{
    // Written beside the target and put in its place only when complete, so
    // a failure leaves an earlier file of that name as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return jx::fail(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    jx::Result<> painted = jx::fail(QString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setCreator(QStringLiteral("JxEdit"));
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        painted = paint(document, writer, running);
    }
    if (!painted || file.error() != QFileDevice::NoError) {
        const QString why = painted ? file.errorString() : painted.error();
        file.cancelWriting();
        return jx::fail(QStringLiteral("无法写入文件 %1：%2").arg(path, why));
    }
    if (!file.commit())
        return jx::fail(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    return {};
}

} // namespace jxedit
