#include "jxedit/FunctionDefinition.h"

#include "jxedit/DataLink.h"

#include <QRegularExpression>

namespace jxedit {

LookupDef LookupDef::parse(const QString &text)
{
    // The names go into statements: only plain identifiers are taken.
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QStringList parts = text.split(u':');
    if (parts.size() != 3)
        return {};
    LookupDef def;
    def.table = parts.at(0).trimmed();
    def.key = parts.at(1).trimmed();
    for (const QString &f : parts.at(2).split(u',', Qt::SkipEmptyParts))
        def.shown << f.trimmed();
    for (const QString &n : QStringList{def.table, def.key} + def.shown)
        if (!name.match(n).hasMatch())
            return {};
    return def;
}

int FunctionDefinition::columnIndex(const QString &field) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

jx::Result<FunctionDefinition> FunctionDefinition::load(const DataLink &link, int progId)
{
    const auto head = link.select(QStringLiteral("select title,tablename,keyfield,codefield,listsql,detailprog,editprog,groupfield,"
                                                 "totalfields,params,deleteguard,guardtext,matchkind,agentfield,codepattern,pairrules,formkind"
                                                 " from jx_function where progid=?"),
                                  {progId});
    if (!head)
        return jx::fail(QStringLiteral("读取功能定义出错：%1").arg(head.error()));
    if (head->rows.isEmpty())
        return jx::fail(QStringLiteral("程序<%1>没有功能定义").arg(progId));
    FunctionDefinition out;
    const QVector<QVariant> &h = head->rows.first();
    auto text = [&](int i) { return h.value(i).toString().trimmed(); };
    out.progId = progId;
    out.title = text(0);
    out.table = text(1);
    out.keyField = text(2).isEmpty() ? QStringLiteral("id") : text(2);
    out.codeField = text(3);
    out.listSql = text(4);
    out.detailProg = h.value(5).toInt();
    out.editProg = h.value(6).toInt();
    out.groupField = text(7);
    out.totalFields = text(8).split(u',', Qt::SkipEmptyParts);
    for (QString &f : out.totalFields)
        f = f.trimmed();
    out.params = text(9);
    out.deleteGuard = text(10);
    out.guardText = text(11);
    out.matchKind = text(12);
    out.agentField = text(13);
    out.codePattern = text(14);
    for (const QString &rule : text(15).split(u';', Qt::SkipEmptyParts))
        out.pairRules << rule.trimmed();
    out.formKind = text(16).toLower();

    const auto cols = link.select(QStringLiteral("select field,caption,coltype,width,required,minval,maxval,choices,defval,lookup"
                                                 " from jx_funccolumn where progid=? order by colorder"),
                                  {progId});
    if (!cols)
        return jx::fail(QStringLiteral("读取功能定义出错：%1").arg(cols.error()));
    for (const QVector<QVariant> &c : cols->rows) {
        ColumnDef col;
        col.field = c.value(0).toString().trimmed();
        col.caption = c.value(1).toString().trimmed();
        col.type = c.value(2).toString().trimmed().toLower();
        col.width = qMax(30, c.value(3).toInt());
        col.required = c.value(4).toInt() != 0;
        col.minValue = c.value(5).toString().trimmed();
        col.maxValue = c.value(6).toString().trimmed();
        col.choices = c.value(7).toString().split(u'|', Qt::SkipEmptyParts);
        col.defaultValue = c.value(8).toString().trimmed();
        if (col.caption.isEmpty())
            col.caption = col.field;
        if (col.isLookup()) {
            col.lookup = LookupDef::parse(c.value(9).toString());
            if (!col.lookup.isValid())
                return jx::fail(QStringLiteral("程序<%1>的“%2”没有正确的关联定义（表:键:显示字段）").arg(progId).arg(col.caption));
        }
        out.columns.append(col);
    }
    if (out.columns.isEmpty() && out.formKind.isEmpty())
        return jx::fail(QStringLiteral("程序<%1>的功能定义没有列").arg(progId));
    return out;
}

int FunctionDefinition::entryProgramFor(const DataLink &link, const QString &table)
{
    // No such program and a database that cannot say are one answer to the caller: none.
    return link.scalar(QStringLiteral("select min(progid) from jx_function where tablename=? and detailprog=0 and editprog=0"), {table})
        .valueOr(QVariant())
        .toInt();
}

} // namespace jxedit
