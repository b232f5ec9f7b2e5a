#pragma once

#include <QAbstractItemModel>
#include <QString>

#include "platform/com/Result.h"

namespace jxedit {

/// Writes a model's rows as a spreadsheet program opens them: UTF-8 with a
/// byte-order mark, comma separated, quoted where needed, CRLF line ends.
class CsvExport
{
public:
    static QString field(const QString &text);
    /// All rows of `model` (its display texts) under its header.
    static jx::Result<> write(const QAbstractItemModel &model, const QString &path);
};

} // namespace jxedit
