#pragma once

#include "platform/com/Result.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace jxedit {

class DataLink;

/// A column that names a record of another table: the key is stored, the
/// record is shown by its fields (the first is its code) and chosen by them.
struct LookupDef
{
    QString table, key;
    QStringList shown;

    bool isValid() const { return !table.isEmpty() && !key.isEmpty() && !shown.isEmpty(); }
    /// "table:key:field,field"; invalid when malformed.
    static LookupDef parse(const QString &text);
};

/// One column of a function: how it is shown and what it accepts.
struct ColumnDef
{
    QString field;
    QString caption;
    QString type; // text, int, number, date, time ('HH:mm'), phone, choice, memo, lookup; score (a match's percent, shown "匹配 92%")
    int width = 100;
    bool required = false;
    QString minValue, maxValue;
    QStringList choices;
    QString defaultValue; // "today" is the operation date, "me" the signed-in user's agent
    LookupDef lookup;

    bool isNumeric() const { return type == u"int" || type == u"number"; }
    bool isLookup() const { return type == u"lookup"; }
    /// A column made in code rather than read from the definition tables.
    static ColumnDef of(const char *field, const char *caption, const char *type = "text", int width = 90)
    {
        ColumnDef c;
        c.field = QString::fromLatin1(field);
        c.caption = QString::fromUtf8(caption);
        c.type = QString::fromLatin1(type);
        c.width = width;
        return c;
    }
};

/// What a program shows, read from the definition tables by program number:
/// a new function is a definition row and a menu entry, not a build.
struct FunctionDefinition
{
    int progId = 0;
    QString title;
    QString table, keyField, codeField;
    QString listSql;
    int detailProg = 0, editProg = 0;
    QString groupField;
    QStringList totalFields;
    QString params; // "field:kind;..." with kind daterange, choice or text
    QString deleteGuard, guardText;
    QString matchKind; // "house" or "customer"
    QString agentField; // the field naming the record's agent
    QString codePattern; // generated codes: prefix, optional yyyyMMdd, '#' digits
    QStringList pairRules; // "low<=high" (ordered when both are given) or "a|b" (one of them given)
    QString formKind; // "" the columns' form, "rights" the user and rights screen
    QVector<ColumnDef> columns;

    int columnIndex(const QString &field) const;
    /// False with a message naming the program when there is no usable definition.
    static jx::Result<FunctionDefinition> load(const DataLink &link, int progId);
    /// The first record-entry program over `table` (for opening records from elsewhere).
    static int entryProgramFor(const DataLink &link, const QString &table);
};

} // namespace jxedit
