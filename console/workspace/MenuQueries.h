#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>

class Database;
class QueryResult;

namespace jx {

// One menu entry as a lookup reads it.
struct MenuEntry
{
    int32_t programNumber = 0; // progID
    int32_t kind = 0;          // menucatalog
    QString name;              // menuname
    QString systemCode;        // systemcode
    QString code;              // menucode; empty when the statement does not select it
};

// Every statement the workspace sends against the menu tables, built in one
// place so the texts stay exactly as the tables' readers expect. Text values
// are inserted between single quotes with any quote in them doubled, so a
// value holding a quote selects the rows it names instead of breaking the
// statement.
class MenuQueries final
{
public:
    // The value as the inside of a quoted SQL literal.
    static QString quoted(const QString &value);
    // The decimal text of the first digit of the code-length scheme ("22222"
    // when empty); "0" when that character is not a digit.
    static QString topCodeLength(const QString &menubm);
    // A program number from a field or event value: numeric value of its
    // text, rounded to a 32-bit integer ("12a" is 12, "abc" and "" are 0).
    static int32_t programNumber(const QVariant &value);

    // A lookup that failed is not one that found nothing: the operator is
    // shown the database's reason (a dropped connection, say) instead of
    // "does not exist", and the log keeps it. True when the statement failed.
    static bool reportFailure(::Database &db, const QueryResult &result);
    // The entry a menu lookup (Q5 to Q8) selects; nothing when the
    // statement failed (reported as above) or found no row (the operator is
    // told `missing`).
    static std::optional<MenuEntry> lookupEntry(::Database &db, const QString &sql,
                                                const QString &missing = QStringLiteral("当前菜单不存在！"));

    static QString Q1(const QString &menubm);
    static QString Q2(const QString &group);
    static QString Q3(int type, const QString &code);
    static QString Q4(const QString &code);
    static QString Q5(const QString &code);
    static QString Q6(const QString &code);
    static QString Q7(const QString &code);
    static QString Q8(int32_t programNumber);
    static QString Q9(int32_t programNumber);
    static QString Q10(int32_t programNumber);
    static QString Q11(const QString &code);

    // Every active entry of a mode the workspace knows, for the search box.
    static QString searchableEntries();
};

} // namespace jx
