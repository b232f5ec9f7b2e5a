#include "DemoIcons.h"

#include "GifWriter.h"

#include "components/data/Database.h"
#include "components/data/QueryResult.h"
#include "components/data/Recordset.h"

#include <QColor>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>

namespace {

QImage iconImage(const QString &name, int index)
{
    static const QColor colours[] = {QColor(0x2f, 0x6f, 0xb5), QColor(0x3c, 0x9a, 0x5f), QColor(0xc2, 0x7c, 0x1e),
                                     QColor(0x8a, 0x4f, 0xb0), QColor(0xb8, 0x44, 0x44), QColor(0x2a, 0x8f, 0x96)};
    const QColor base = colours[index % 6];
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(QColor(0xf5, 0xf8, 0xfc));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 32);
    g.setColorAt(0, base.lighter(140));
    g.setColorAt(1, base);
    p.setBrush(g);
    p.setPen(base.darker(130));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    QFont f = p.font();
    f.setPixelSize(18);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(image.rect(), Qt::AlignCenter, name.left(1));
    return image;
}

QByteArray zipOf(const QString &entryName, const QByteArray &data)
{
    QByteArray out(data.size() + 4096, '\0');
    size_t used = 0;
    archive *a = archive_write_new();
    archive_write_set_format_zip(a);
    if (archive_write_open_memory(a, out.data(), static_cast<size_t>(out.size()), &used) != ARCHIVE_OK) {
        archive_write_free(a);
        return {};
    }
    archive_entry *e = archive_entry_new();
    const QByteArray utf8 = entryName.toUtf8();
    archive_entry_set_pathname(e, utf8.constData());
    archive_entry_set_size(e, data.size());
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    bool ok = archive_write_header(a, e) == ARCHIVE_OK
        && archive_write_data(a, data.constData(), static_cast<size_t>(data.size())) == data.size();
    archive_entry_free(e);
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    if (!ok)
        return {};
    out.truncate(static_cast<qsizetype>(used));
    return out;
}

} // namespace

jx::Result<> addDemoIcons(Database &db)
{
    QTemporaryDir dir;
    Recordset rs = db.Query(QStringLiteral("SELECT menucode, menuname FROM xt_menu WHERE menuismx=0 OR menulevel=1 "
                                           "ORDER BY menucode"),
                            1)
                       .Recordset();
    for (int i = 0; !rs.Eof(); rs.MoveNext(), ++i) {
        const QString code = rs.Fields(QStringLiteral("menucode")).toString();
        const QString file = QStringLiteral("icon_%1.gif").arg(code);
        const QString path = dir.filePath(file);
        QByteArray gif;
        if (writeGif(iconImage(rs.Fields(QStringLiteral("menuname")).toString(), i), path)) {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly))
                gif = f.readAll();
        }
        if (gif.isEmpty())
            return jx::fail(QStringLiteral("cannot draw the icon of ") + code);
        const bool zipped = i % 2 == 1;
        const QByteArray contents = zipped ? zipOf(file, gif) : gif;
        if (contents.isEmpty()
            || !db.ExecuteParams(QStringLiteral("INSERT INTO xt_menuPilot (type, menuCode, filename, iscompress, contents, "
                                                "filesize) VALUES (1, ?, ?, ?, ?, ?)"),
                                 {code, file, zipped ? 1 : 0, contents, gif.size()}))
            return jx::fail(db.LastError().Description());
    }
    return {};
}
