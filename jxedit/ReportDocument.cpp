#include "jxedit/ReportDocument.h"

#include "jxedit/RowModel.h"

#include <QFile>
#include <QHash>
#include <QPageLayout>
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

    QString out = QStringLiteral("<html><body style=\"font-family:'Noto Sans CJK SC','WenQuanYi Micro Hei',sans-serif;\">");
    out += QStringLiteral("<h2 align=\"center\">%1</h2>").arg(head.title.toHtmlEscaped());
    out += QStringLiteral("<p>%1　　日期：%2%3</p>")
               .arg(head.company.toHtmlEscaped(), head.date.toString(QStringLiteral("yyyy-MM-dd")),
                    head.conditions.isEmpty() ? QString() : QStringLiteral("　　条件：") + head.conditions.toHtmlEscaped());
    out += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" style=\"border-collapse:collapse;\">");
    out += cells(captions, right, QStringLiteral("th"), QStringLiteral("background-color:#d9e4f2;"));
    Totals grand, group;
    grand.sums.resize(totalColumns.size());
    group.sums.resize(totalColumns.size());
    // Rows of a group are kept together in the order the groups first appear,
    // whatever order the statement gave them in.
    QVector<const QVector<QVariant> *> ordered;
    ordered.reserve(rows.rows.size());
    if (groupColumn >= 0 && source.at(groupColumn) >= 0) {
        QStringList groups;
        QHash<QString, QVector<const QVector<QVariant> *>> members;
        for (const QVector<QVariant> &row : rows.rows) {
            const QString g = row.value(source.at(groupColumn)).toString();
            if (!members.contains(g))
                groups << g;
            members[g].append(&row);
        }
        for (const QString &g : groups)
            ordered += members.value(g);
    } else {
        for (const QVector<QVariant> &row : rows.rows)
            ordered.append(&row);
    }
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

bool ReportDocument::writePdf(QTextDocument &document, const QString &path, QString &why)
{
    const QString temp = path + QStringLiteral(".part");
    {
        QPdfWriter writer(temp);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setCreator(QStringLiteral("JxEdit"));
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        document.print(&writer);
    }
    QFile written(temp);
    if (!written.exists() || written.size() == 0) {
        why = QStringLiteral("无法写入文件 %1").arg(path);
        QFile::remove(temp);
        return false;
    }
    QFile::remove(path);
    if (!written.rename(path)) {
        why = QStringLiteral("无法写入文件 %1：%2").arg(path, written.errorString());
        QFile::remove(temp);
        return false;
    }
    return true;
}

} // namespace jxedit
