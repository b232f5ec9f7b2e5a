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

bool CsvExport::write(const QAbstractItemModel &model, const QString &path, QString &why)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        why = QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString());
        return false;
    }
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
    if (!file.commit()) {
        why = QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace jxedit
