#pragma once

#include <QAbstractItemModel>
#include <QString>

namespace jxedit {

/// Writes a model's rows as a spreadsheet program opens them: UTF-8 with a
/// byte-order mark, comma separated, quoted where needed, CRLF line ends.
class CsvExport
{
public:
    static QString field(const QString &text);
    /// All rows of `model` (its display texts) under its header; false with the reason.
    static bool write(const QAbstractItemModel &model, const QString &path, QString &why);
};

} // namespace jxedit
