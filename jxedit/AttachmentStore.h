#pragma once

#include "jxedit/DataLink.h"
#include "platform/com/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>

namespace jxedit {

/// The photos and documents of a listing (table fy_attachment). A photo is
/// read once, decoded to prove it is an image, scaled once to a display copy
/// and a thumbnail, and both are stored in one transaction; views read the
/// stored copies and never scale again. A document is kept as it came.
class AttachmentStore
{
public:
    enum class Kind { Photo, Document };

    /// What may be kept; the defaults are the product's.
    struct Limits
    {
        qint64 photoFileBytes = 20 * 1024 * 1024; // read limit before decoding
        qint64 documentFileBytes = 20 * 1024 * 1024;
        int photosPerListing = 30;
        qint64 bytesPerListing = 100 * 1024 * 1024; // stored bytes of all its attachments
        int displayEdge = 1600;
        int thumbnailEdge = 160;
    };

    /// One stored attachment as lists show it: no display copy, no original.
    struct Item
    {
        int id = 0;
        Kind kind = Kind::Photo;
        QString fileName;
        QString mimeType;
        int sortNo = 0;
        int width = 0;
        int height = 0;
        qint64 fileSize = 0;
        QString addedBy;
        QString addedAt;
        QByteArray thumbnail; // empty for a document that is no image
    };

    AttachmentStore(DataLink link, QString userName);

    const Limits &limits() const { return m_limits; }
    void setLimits(const Limits &limits) { m_limits = limits; }

    /// Adds the file at `path` to listing `houseId`; the new attachment's id,
    /// or a message saying why nothing was kept.
    jx::Result<int> add(int houseId, Kind kind, const QString &path);
    /// The listing's attachments of `kind` in their order (the first photo is the cover).
    jx::Result<QVector<Item>> list(int houseId, Kind kind) const;
    /// The display copy of a photo (or the original of a document), read on demand.
    jx::Result<QByteArray> content(int id) const;
    jx::Result<> remove(int id);
    /// Moves an attachment to `index` among its listing's attachments of the same kind; 0 makes a photo the cover.
    jx::Result<> move(int id, int index);

    /// The stored thumbnail of each listing's cover photo, keyed by listing; only
    /// the listings asked for are read.
    jx::Result<QHash<int, QByteArray>> covers(const QVector<int> &houseIds) const;

    /// Lets go of the database (its owner is going); every later call fails with a message.
    void detach() { m_link = DataLink(); }

    /// How many pictures this store has scaled (two per photo added): views never add to it.
    int scalings() const { return m_scalings; }

    static QString kindName(Kind kind) { return kind == Kind::Photo ? QStringLiteral("photo") : QStringLiteral("document"); }
    static QString sizeText(qint64 bytes);

private:
    struct Prepared
    {
        QString mimeType;
        int width = 0;
        int height = 0;
        QByteArray display;
        QByteArray thumbnail;
        QByteArray original;
    };
    jx::Result<QByteArray> readFile(const QString &path, qint64 limit) const;
    jx::Result<Prepared> preparePhoto(const QByteArray &bytes, const QString &fileName);
    jx::Result<Prepared> prepareDocument(const QByteArray &bytes, const QString &fileName);
    QByteArray scaled(const class QImage &image, int edge, bool keepAlpha);

    DataLink m_link;
    QString m_user;
    Limits m_limits;
    int m_scalings = 0;
};

} // namespace jxedit
