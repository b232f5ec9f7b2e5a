#include "jxedit/CsvExport.h"

#include <QSaveFile>

namespace jxedit {

QString CsvExport::field(const QString &text)
{
    QString out = text;
    // A leading sign would make a spreadsheet read the cell as a formula.
    if (!out.isEmpty() && QStringLiteral("=+-@").contains(out.front())) {
        bool number = false;
        out.toDouble(&number);
        if (!number)
            out.prepend(u'\'');
    }
    if (out.contains(u',') || out.contains(u'"') || out.contains(u'\n') || out.contains(u'\r')) {
        out.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        out = u'"' + out + u'"';
    }
    return out;
}

jx::Result<> CsvExport::write(const QAbstractItemModel &model, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return jx::fail(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    QString text;
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c)
        cells << field(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    text += cells.join(u',') + QStringLiteral("\r\n");
    for (int r = 0; r < model.rowCount(); ++r) {
        cells.clear();
        for (int c = 0; c < model.columnCount(); ++c)
            cells << field(model.index(r, c).data(Qt::DisplayRole).toString());
        text += cells.join(u',') + QStringLiteral("\r\n");
    }
    file.write("\xEF\xBB\xBF");
    file.write(text.toUtf8());
    if (!file.commit())
        return jx::fail(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    return {};
}

} // namespace jxedit
