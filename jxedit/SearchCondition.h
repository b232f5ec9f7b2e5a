#pragma once

#include "jxedit/FunctionDefinition.h"
#include "platform/com/Result.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

#include <optional>

namespace jxedit {

/// What the search panel asks of one column: a range (numbers and dates), a
/// set of values (choices and links) or a piece of text the column contains.
struct SearchTerm
{
    enum class Kind { Range, Choice, Text };

    QString field;
    Kind kind = Kind::Text;
    QString from, to;   // as typed, either may be empty
    QStringList values; // the values chosen
    QString text;

    bool isEmpty() const;
};

/// The panel's values turned into a condition over a query's output columns:
/// the statement gets placeholders only, what the user typed travels as bound
/// values. No widgets, so the condition can be built and tested on its own.
class SearchCondition
{
public:
    SearchCondition() = default;
    explicit SearchCondition(QVector<SearchTerm> terms) : m_terms(std::move(terms)) {}

    const QVector<SearchTerm> &terms() const { return m_terms; }
    /// True when no term asks anything: the list is shown as its definition says.
    bool isEmpty() const;

    /// How a column is searched; none for columns the panel leaves out.
    static std::optional<SearchTerm::Kind> kindOf(const ColumnDef &column);

    struct Where
    {
        QString text; // without the word WHERE; "" for an empty condition
        QVariantList params;
    };
    /// The WHERE over the output columns as `q.field`, and its values; a
    /// message naming the field when a value cannot be read or a range is
    /// given backwards.
    jx::Result<Where> toWhere(const QVector<ColumnDef> &columns) const;

    /// `select * from (<listSql>) q where <where>`; the definition's closing
    /// ORDER BY is moved outside when it names output columns only (`known`),
    /// and is left inside otherwise, where both engines keep it.
    static QString wrap(const QString &listSql, const QString &where, const QStringList &known);

    /// The terms as text for keeping (JSON), with each field's caption so a
    /// dropped term can still be named.
    QString toText(const QVector<ColumnDef> &columns) const;
    /// Reads kept text back against the columns as they are now: terms whose
    /// column went, or is no longer searched that way, are left out and named
    /// in `dropped`. Fails when the text cannot be read at all.
    static jx::Result<SearchCondition> fromText(const QString &text, const QVector<ColumnDef> &columns, QStringList &dropped);

    /// A number typed the lenient way ("1,200", "300万", " 45.5 "); false when
    /// the text holds no number.
    static bool readNumber(const QString &text, double &value);

private:
    QVector<SearchTerm> m_terms;
};

} // namespace jxedit
