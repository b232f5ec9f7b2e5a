#include "jxedit/AttachmentStore.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QMimeDatabase>

#include <utility>

namespace jxedit {

namespace {

// A picture beyond this is refused before it is decoded: decoding it would
// take more memory than any workstation should spend on one photo.
constexpr qint64 kMostPixels = 80'000'000;

QString mimeOfFormat(const QByteArray &format)
{
    const QByteArray f = format.toLower();
    if (f == "jpeg" || f == "jpg")
        return QStringLiteral("image/jpeg");
    if (f == "svg")
        return QStringLiteral("image/svg+xml");
    return QStringLiteral("image/") + QString::fromLatin1(f);
}

} // namespace

AttachmentStore::AttachmentStore(DataLink link, QString userName) : m_link(std::move(link)), m_user(std::move(userName)) {}

QString AttachmentStore::sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024)
        return QStringLiteral("%1 MB").arg(QString::number(double(bytes) / (1024.0 * 1024.0), 'f', bytes % (1024 * 1024) ? 1 : 0));
    if (bytes >= 1024)
        return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
    return QStringLiteral("%1 字节").arg(bytes);
}

jx::Result<QByteArray> AttachmentStore::readFile(const QString &path, qint64 limit) const
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.exists() || !info.isFile())
        return jx::fail(QStringLiteral("文件“%1”不存在").arg(name));
    // The size is known before anything is read: a huge file is refused at once.
    if (info.size() > limit)
        return jx::fail(QStringLiteral("“%1”有 %2，超过了每个文件 %3 的上限，没有添加").arg(name, sizeText(info.size()), sizeText(limit)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return jx::fail(QStringLiteral("无法读取“%1”：%2").arg(name, file.errorString()));
    // Read no more than the limit, even when the file grew since it was measured.
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit)
        return jx::fail(QStringLiteral("“%1”超过了每个文件 %2 的上限，没有添加").arg(name, sizeText(limit)));
    if (bytes.isEmpty())
        return jx::fail(file.error() != QFile::NoError ? QStringLiteral("无法读取“%1”：%2").arg(name, file.errorString())
                                                       : QStringLiteral("“%1”是空文件，没有添加").arg(name));
    return bytes;
}

QByteArray AttachmentStore::scaled(const QImage &image, int edge, bool keepAlpha)
{
    ++m_scalings;
    const QImage fitted = image.width() > edge || image.height() > edge
                              ? image.scaled(edge, edge, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                              : image;
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    // Photos keep well as JPEG; a picture with transparency (a drawn plan) as PNG.
    if (keepAlpha)
        fitted.save(&buffer, "PNG");
    else
        fitted.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", 85);
    return out;
}

jx::Result<AttachmentStore::Prepared> AttachmentStore::preparePhoto(const QByteArray &bytes, const QString &fileName)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // The content decides, never the file's name: a text file named .jpg is no photo.
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format.isEmpty() || !reader.canRead())
        return jx::fail(QStringLiteral("“%1”不是可以识别的图片文件（文件可能已损坏，或只是名称像图片），没有添加").arg(fileName));
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMostPixels)
        return jx::fail(QStringLiteral("“%1”有 %2×%3 像素，超过了每张照片 %4 万像素的上限，没有添加")
                            .arg(fileName)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(kMostPixels / 10000));
    const QImage image = reader.read();
    if (image.isNull())
        return jx::fail(QStringLiteral("“%1”无法解码为图片（%2），没有添加").arg(fileName, reader.errorString()));
    Prepared out;
    out.mimeType = mimeOfFormat(format);
    out.width = image.width();
    out.height = image.height();
    const bool alpha = image.hasAlphaChannel();
    out.display = scaled(image, m_limits.displayEdge, alpha);
    // The thumbnail is made from the picture, not from the compressed display copy.
    out.thumbnail = scaled(image, m_limits.thumbnailEdge, alpha);
    if (out.display.isEmpty() || out.thumbnail.isEmpty())
        return jx::fail(QStringLiteral("“%1”无法转换为显示用的图片，没有添加").arg(fileName));
    return out;
}

jx::Result<AttachmentStore::Prepared> AttachmentStore::prepareDocument(const QByteArray &bytes, const QString &fileName)
{
    Prepared out;
    const QMimeType type = QMimeDatabase().mimeTypeForData(bytes);
    if (type.inherits(QStringLiteral("application/pdf")) && bytes.startsWith("%PDF-")) {
        out.mimeType = QStringLiteral("application/pdf");
        out.original = bytes;
        return out;
    }
    // A floor plan or a certificate scan as a picture: kept as it came, with a
    // thumbnail so the list can show it. Why it is no photo is not the user's
    // question here: the message below names both things it could have been.
    if (const auto photo = preparePhoto(bytes, fileName); photo) {
        out.mimeType = photo->mimeType;
        out.width = photo->width;
        out.height = photo->height;
        out.thumbnail = photo->thumbnail;
        out.original = bytes;
        return out;
    }
    return jx::fail(QStringLiteral("“%1”既不是 PDF 文件也不是可以识别的图片，没有添加").arg(fileName));
}

jx::Result<int> AttachmentStore::add(int houseId, Kind kind, const QString &path)
{
    const QString fileName = QFileInfo(path).fileName();
    if (houseId <= 0)
        return jx::fail(QStringLiteral("请先保存房源，再添加照片或文件"));
    const qint64 limit = kind == Kind::Photo ? m_limits.photoFileBytes : m_limits.documentFileBytes;
    auto bytes = readFile(path, limit);
    if (!bytes)
        return jx::fail(bytes.error());
    const auto prepared = kind == Kind::Photo ? preparePhoto(*bytes, fileName) : prepareDocument(*bytes, fileName);
    if (!prepared)
        return jx::fail(prepared.error());
    const Prepared &p = *prepared;
    const qint64 fileSize = bytes->size();
    bytes->clear();
    const qint64 stored = p.display.size() + p.thumbnail.size() + p.original.size();

    // The limits are counted and the row written in one transaction, so two
    // workstations adding at once cannot both pass the last free place, and a
    // failure anywhere leaves nothing behind.
    auto failed = [&](const QString &text) -> jx::Result<int> {
        m_link.rollback();
        return jx::fail(QStringLiteral("“%1”没有保存：%2").arg(fileName, text));
    };
    if (const auto begun = m_link.begin(); !begun)
        return failed(begun.error());
    const auto exists = m_link.scalar(QStringLiteral("select count(*) from fy_house where id=?"), {houseId});
    if (!exists)
        return failed(exists.error());
    if (exists->toInt() == 0) {
        m_link.rollback();
        return jx::fail(QStringLiteral("这套房源已不存在（可能已被删除），“%1”没有添加").arg(fileName));
    }
    const auto usage = m_link.select(QStringLiteral("select count(case when kind='photo' then 1 end), coalesce(sum(storedsize),0), coalesce(max(id),0)"
                                                    " from fy_attachment where houseid=?"),
                                     {houseId});
    // No row at all is a failure the engine gave no words for.
    if (!usage || usage->rows.isEmpty())
        return failed(usage.error());
    const int photos = usage->rows.first().value(0).toInt();
    const qint64 used = usage->rows.first().value(1).toLongLong();
    if (kind == Kind::Photo && photos >= m_limits.photosPerListing) {
        m_link.rollback();
        return jx::fail(
            QStringLiteral("这套房源已有 %1 张照片，每套房源最多 %2 张，“%3”没有添加").arg(photos).arg(m_limits.photosPerListing).arg(fileName));
    }
    if (used + stored > m_limits.bytesPerListing) {
        m_link.rollback();
        return jx::fail(QStringLiteral("这套房源的照片和文件已占 %1，加上“%2”（%3）会超过每套房源 %4 的上限，没有添加")
                            .arg(sizeText(used), fileName, sizeText(stored), sizeText(m_limits.bytesPerListing)));
    }
    const auto last = m_link.scalar(QStringLiteral("select max(id) from fy_attachment"), {});
    if (!last)
        return failed(last.error());
    const auto lastOrder = m_link.scalar(QStringLiteral("select max(sortno) from fy_attachment where houseid=? and kind=?"), {houseId, kindName(kind)});
    if (!lastOrder)
        return failed(lastOrder.error());
    const int id = last->toInt() + 1;
    const int sortNo = lastOrder->isValid() && !lastOrder->isNull() ? lastOrder->toInt() + 1 : 0;
    auto blob = [](const QByteArray &b) { return b.isEmpty() ? QVariant() : QVariant(b); };
    const auto inserted =
        m_link.execute(QStringLiteral("insert into fy_attachment (id,houseid,kind,filename,mimetype,sortno,width,height,display,thumbnail,"
                                      "original,filesize,storedsize,addedby,addedat) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                       {id, houseId, kindName(kind), fileName, p.mimeType, sortNo, p.width, p.height, blob(p.display), blob(p.thumbnail),
                        blob(p.original), fileSize, stored, m_user,
                        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
    if (!inserted || *inserted != 1)
        return failed(inserted.error());
    if (const auto done = m_link.commit(); !done)
        return failed(done.error());
    return id;
}

jx::Result<QVector<AttachmentStore::Item>> AttachmentStore::list(int houseId, Kind kind) const
{
    // Only the thumbnails travel: a strip of thirty photos reads a few hundred KB.
    const auto rows = m_link.select(QStringLiteral("select id,filename,mimetype,sortno,width,height,filesize,addedby,addedat,thumbnail from fy_attachment"
                                                   " where houseid=? and kind=? order by sortno,id"),
                                    {houseId, kindName(kind)});
    if (!rows)
        return jx::fail(rows.error());
    QVector<Item> items;
    items.reserve(rows->rows.size());
    for (const QVector<QVariant> &r : std::as_const(rows->rows)) {
        Item it;
        it.id = r.value(0).toInt();
        it.kind = kind;
        it.fileName = r.value(1).toString();
        it.mimeType = r.value(2).toString();
        it.sortNo = r.value(3).toInt();
        it.width = r.value(4).toInt();
        it.height = r.value(5).toInt();
        it.fileSize = r.value(6).toLongLong();
        it.addedBy = r.value(7).toString();
        it.addedAt = r.value(8).toString();
        it.thumbnail = r.value(9).toByteArray();
        items.append(it);
    }
    return items;
}

jx::Result<QByteArray> AttachmentStore::content(int id) const
{
    const auto rows = m_link.select(QStringLiteral("select kind,display,original from fy_attachment where id=?"), {id});
    if (!rows)
        return jx::fail(rows.error());
    if (rows->rows.isEmpty())
        return jx::fail(QStringLiteral("这个照片或文件已不存在（可能已被其他用户删除）"));
    const QVector<QVariant> &r = rows->rows.first();
    return r.value(0).toString() == u"photo" ? r.value(1).toByteArray() : r.value(2).toByteArray();
}

jx::Result<> AttachmentStore::remove(int id)
{
    auto failed = [&](const QString &text) -> jx::Result<> {
        m_link.rollback();
        return jx::fail(QStringLiteral("删除失败：%1").arg(text));
    };
    if (const auto begun = m_link.begin(); !begun)
        return jx::fail(QStringLiteral("删除失败：%1").arg(begun.error()));
    const auto rows = m_link.select(QStringLiteral("select houseid,kind from fy_attachment where id=?"), {id});
    if (!rows)
        return failed(rows.error());
    if (rows->rows.isEmpty()) {
        m_link.rollback();
        return jx::fail(QStringLiteral("这个照片或文件已不存在（可能已被其他用户删除）"));
    }
    const int house = rows->rows.first().value(0).toInt();
    const QString kind = rows->rows.first().value(1).toString();
    if (const auto deleted = m_link.execute(QStringLiteral("delete from fy_attachment where id=?"), {id}); !deleted || *deleted != 1)
        return failed(deleted.error());
    // The rest close up, so the next photo becomes the cover.
    const auto rest = m_link.select(QStringLiteral("select id from fy_attachment where houseid=? and kind=? order by sortno,id"), {house, kind});
    if (!rest)
        return failed(rest.error());
    for (int i = 0; i < rest->rows.size(); ++i) {
        if (const auto updated = m_link.execute(QStringLiteral("update fy_attachment set sortno=? where id=?"), {i, rest->rows.at(i).value(0)});
            !updated)
            return failed(updated.error());
    }
    if (const auto done = m_link.commit(); !done)
        return failed(done.error());
    return {};
}

jx::Result<> AttachmentStore::move(int id, int index)
{
    auto failed = [&](const QString &text) -> jx::Result<> {
        m_link.rollback();
        return jx::fail(QStringLiteral("调整顺序失败：%1").arg(text));
    };
    if (const auto begun = m_link.begin(); !begun)
        return failed(begun.error());
    const auto rows = m_link.select(QStringLiteral("select houseid,kind from fy_attachment where id=?"), {id});
    if (!rows)
        return failed(rows.error());
    if (rows->rows.isEmpty()) {
        m_link.rollback();
        return jx::fail(QStringLiteral("这个照片或文件已不存在（可能已被其他用户删除）"));
    }
    const auto all = m_link.select(QStringLiteral("select id from fy_attachment where houseid=? and kind=? order by sortno,id"),
                                   {rows->rows.first().value(0), rows->rows.first().value(1)});
    if (!all)
        return failed(all.error());
    QVector<int> order;
    for (const QVector<QVariant> &r : std::as_const(all->rows))
        if (r.value(0).toInt() != id)
            order.append(r.value(0).toInt());
    order.insert(qBound(0, index, int(order.size())), id);
    for (int i = 0; i < order.size(); ++i)
        if (const auto updated = m_link.execute(QStringLiteral("update fy_attachment set sortno=? where id=?"), {i, order.at(i)}); !updated)
            return failed(updated.error());
    if (const auto done = m_link.commit(); !done)
        return failed(done.error());
    return {};
}

jx::Result<QHash<int, QByteArray>> AttachmentStore::covers(const QVector<int> &houseIds) const
{
    QHash<int, QByteArray> thumbnails;
    if (houseIds.isEmpty())
        return thumbnails;
    QStringList marks;
    QVariantList params;
    for (int id : houseIds) {
        marks << QStringLiteral("?");
        params << id;
    }
    const auto rows = m_link.select(QStringLiteral("select a.houseid,a.thumbnail from fy_attachment a where a.kind='photo' and a.houseid in (%1)"
                                                   " and a.id=(select b.id from fy_attachment b where b.houseid=a.houseid and b.kind='photo'"
                                                   " order by b.sortno,b.id limit 1)")
                                        .arg(marks.join(u',')),
                                    params);
    if (!rows)
        return jx::fail(rows.error());
    for (const QVector<QVariant> &r : std::as_const(rows->rows))
        thumbnails.insert(r.value(0).toInt(), r.value(1).toByteArray());
    return thumbnails;
}

} // namespace jxedit
