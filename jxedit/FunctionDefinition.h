#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace jxedit {

class DataLink;

/// One column of a function: how it is shown and what it accepts.
struct ColumnDef
{
    QString field;
    QString caption;
    QString type; // text, int, number, date, phone, choice, memo
    int width = 100;
    bool required = false;
    QString minValue, maxValue;
    QStringList choices;
    QString defaultValue; // "today" is the operation date

    bool isNumeric() const { return type == u"int" || type == u"number"; }
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
    QVector<ColumnDef> columns;

    int columnIndex(const QString &field) const;
    /// False with a message naming the program when there is no usable definition.
    static bool load(const DataLink &link, int progId, FunctionDefinition &out, QString &why);
    /// The first record-entry program over `table` (for opening records from elsewhere).
    static int entryProgramFor(const DataLink &link, const QString &table);
};

} // namespace jxedit
