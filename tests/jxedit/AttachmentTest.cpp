// Photos and documents of a listing kept in the database: scaled once when
// added, refused when they are no pictures or too large, ordered with a cover,
// removed, and never half-written.

#include "FunctionHost.h"

#include "jxedit/AttachmentStore.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>

namespace {

using jxedit::AttachmentStore;
using Kind = AttachmentStore::Kind;

class AttachmentTest : public FunctionHost
{
protected:
    void SetUp() override
    {
        FunctionHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        auto linked = jxedit::DataLink::fromContext(&context);
        ASSERT_TRUE(linked) << linked.error().toStdString();
        link = *linked;
        ASSERT_TRUE(link.isValid());
        store = std::make_unique<AttachmentStore>(link, QStringLiteral("admin"));
        house = scalar(QStringLiteral("select min(id) from fy_house")).toInt();
        ASSERT_GT(house, 0);
    }

    // A picture of `size` in one colour with a mark, written as `name` in the test folder.
    QString picture(const QString &name, QSize size, QColor colour, const char *format = "JPEG")
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        QPainter p(&image);
        p.fillRect(QRect(QPoint(0, 0), size / 3), Qt::white);
        p.end();
        const QString path = files.filePath(name);
        EXPECT_TRUE(image.save(path, format));
        return path;
    }
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = files.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    int count(const QString &where = QString())
    {
        return scalar(QStringLiteral("select count(*) from fy_attachment") + (where.isEmpty() ? QString() : QStringLiteral(" where ") + where))
            .toInt();
    }
    QByteArray column(int id, const char *field)
    {
        return t.db->QueryParams(QStringLiteral("select %1 from fy_attachment where id=?").arg(QString::fromLatin1(field)), {id})
            .Value()
            .toByteArray();
    }
    QVector<int> order(int listing)
    {
        const auto items = store->list(listing, Kind::Photo);
        EXPECT_TRUE(items) << items.error().toStdString();
        QVector<int> ids;
        for (const AttachmentStore::Item &it : items.valueOr({}))
            ids << it.id;
        return ids;
    }
    QByteArray coverOf(int listing)
    {
        const auto covers = store->covers({listing});
        EXPECT_TRUE(covers) << covers.error().toStdString();
        return covers.valueOr({}).value(listing);
    }
    // The stored bytes of attachment `id`; empty, with a failed check, when they cannot be read.
    QByteArray contentOf(int id)
    {
        const auto bytes = store->content(id);
        EXPECT_TRUE(bytes) << bytes.error().toStdString();
        return bytes.valueOr({});
    }
    // Adds a file the test expects to be kept; its id, or 0 with a failed check.
    int added(int listing, Kind kind, const QString &path)
    {
        const auto id = store->add(listing, kind, path);
        EXPECT_TRUE(id) << id.error().toStdString();
        return id.valueOr(0);
    }
    // The reason a file the test expects to be refused was refused; empty, with a failed check, when it was kept.
    QString refusal(int listing, Kind kind, const QString &path)
    {
        const auto id = store->add(listing, kind, path);
        EXPECT_FALSE(id) << "kept as " << id.valueOr(0);
        return id.error();
    }

    QTemporaryDir files;
    jxedit::DataLink link;
    std::unique_ptr<AttachmentStore> store;
    int house = 0;
};

TEST_P(AttachmentTest, APhotoIsScaledOnceAndEveryViewReadsTheStoredCopies)
{
    const int id = added(house, Kind::Photo, picture(QStringLiteral("客厅.jpg"), {3000, 2000}, Qt::darkCyan));
    ASSERT_GT(id, 0);
    EXPECT_EQ(store->scalings(), 2); // the display copy and the thumbnail

    const QImage display = QImage::fromData(column(id, "display"));
    const QImage thumb = QImage::fromData(column(id, "thumbnail"));
    EXPECT_EQ(display.size(), QSize(1600, 1066));
    EXPECT_EQ(thumb.size(), QSize(160, 106));
    EXPECT_TRUE(column(id, "original").isEmpty()); // a photo's original is not kept
    EXPECT_EQ(scalar(QStringLiteral("select width from fy_attachment where id=%1").arg(id)).toInt(), 3000);
    EXPECT_EQ(scalar(QStringLiteral("select mimetype from fy_attachment where id=%1").arg(id)).toString(), QStringLiteral("image/jpeg"));
    EXPECT_EQ(scalar(QStringLiteral("select filename from fy_attachment where id=%1").arg(id)).toString(), QStringLiteral("客厅.jpg"));

    // Listing, opening and the grid's cover hand out the stored bytes themselves.
    for (int view = 0; view < 3; ++view) {
        const auto items = store->list(house, Kind::Photo);
        ASSERT_TRUE(items) << items.error().toStdString();
        ASSERT_EQ(items->size(), 1);
        EXPECT_EQ(items->first().thumbnail, column(id, "thumbnail"));
        EXPECT_EQ(contentOf(id), column(id, "display"));
        EXPECT_EQ(coverOf(house), column(id, "thumbnail"));
    }
    EXPECT_EQ(store->scalings(), 2);

    // A small photo is not enlarged.
    const int small = added(house, Kind::Photo, picture(QStringLiteral("small.png"), {120, 90}, Qt::red, "PNG"));
    ASSERT_GT(small, 0);
    EXPECT_EQ(QImage::fromData(column(small, "display")).size(), QSize(120, 90));
    EXPECT_EQ(scalar(QStringLiteral("select mimetype from fy_attachment where id=%1").arg(small)).toString(), QStringLiteral("image/png"));
}

TEST_P(AttachmentTest, AFileThatIsNoPictureIsRefusedAndNothingIsKept)
{
    QString why = refusal(house, Kind::Photo, file(QStringLiteral("假照片.jpg"), "这不是图片，只是名字像"));
    EXPECT_EQ(why, QStringLiteral("“假照片.jpg”不是可以识别的图片文件（文件可能已损坏，或只是名称像图片），没有添加"));

    // A JPEG's first bytes and nothing of a picture after them.
    QByteArray broken("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
    broken += QByteArray(2000, '\x5A');
    why = refusal(house, Kind::Photo, file(QStringLiteral("broken.jpg"), broken));
    EXPECT_TRUE(why.startsWith(QStringLiteral("“broken.jpg”"))) << why.toStdString();
    EXPECT_TRUE(why.endsWith(QStringLiteral("没有添加"))) << why.toStdString();

    why = refusal(house, Kind::Photo, file(QStringLiteral("empty.jpg"), QByteArray()));
    EXPECT_EQ(why, QStringLiteral("“empty.jpg”是空文件，没有添加"));
    why = refusal(house, Kind::Photo, files.filePath(QStringLiteral("missing.jpg")));
    EXPECT_EQ(why, QStringLiteral("文件“missing.jpg”不存在"));
    // A listing not saved yet has nowhere to keep a photo.
    why = refusal(0, Kind::Photo, picture(QStringLiteral("a.jpg"), {50, 50}, Qt::blue));
    EXPECT_EQ(why, QStringLiteral("请先保存房源，再添加照片或文件"));

    why = refusal(house, Kind::Document, file(QStringLiteral("合同.pdf"), "not a pdf at all"));
    EXPECT_EQ(why, QStringLiteral("“合同.pdf”既不是 PDF 文件也不是可以识别的图片，没有添加"));
    EXPECT_EQ(count(), 0);
}

TEST_P(AttachmentTest, LimitsPerFileAndPerListingAreNamedInTheMessage)
{
    QString why;
    // 200 MB that are never written (a sparse file): refused by its size, not read.
    const QString huge = files.filePath(QStringLiteral("huge.jpg"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(200LL * 1024 * 1024));
    }
    QElapsedTimer clock;
    clock.start();
    why = refusal(house, Kind::Photo, huge);
    EXPECT_EQ(why, QStringLiteral("“huge.jpg”有 200 MB，超过了每个文件 20 MB 的上限，没有添加"));
    EXPECT_LT(clock.elapsed(), 2000);

    AttachmentStore::Limits limits;
    limits.photosPerListing = 2;
    store->setLimits(limits);
    ASSERT_GT(added(house, Kind::Photo, picture(QStringLiteral("1.jpg"), {400, 300}, Qt::red)), 0);
    ASSERT_GT(added(house, Kind::Photo, picture(QStringLiteral("2.jpg"), {400, 300}, Qt::green)), 0);
    why = refusal(house, Kind::Photo, picture(QStringLiteral("3.jpg"), {400, 300}, Qt::blue));
    EXPECT_EQ(why, QStringLiteral("这套房源已有 2 张照片，每套房源最多 2 张，“3.jpg”没有添加"));
    // The limit is per listing: the next one takes photos still.
    EXPECT_GT(added(house + 1, Kind::Photo, picture(QStringLiteral("3.jpg"), {400, 300}, Qt::blue)), 0);

    // Documents do not count as photos, but every stored byte counts.
    const qint64 used = scalar(QStringLiteral("select sum(storedsize) from fy_attachment where houseid=%1").arg(house)).toLongLong();
    ASSERT_GT(used, 0);
    limits.bytesPerListing = used + 100;
    store->setLimits(limits);
    QByteArray pdf("%PDF-1.4\n");
    pdf += QByteArray(500, 'x');
    why = refusal(house, Kind::Document, file(QStringLiteral("产证.pdf"), pdf));
    EXPECT_TRUE(why.startsWith(QStringLiteral("这套房源的照片和文件已占 "))) << why.toStdString();
    EXPECT_TRUE(why.endsWith(QStringLiteral("会超过每套房源 %1 的上限，没有添加").arg(AttachmentStore::sizeText(used + 100)))) << why.toStdString();
    EXPECT_EQ(count(QStringLiteral("houseid=%1").arg(house)), 2);

    // A file a little above a small per-file limit is refused after reading at most the limit.
    limits.photoFileBytes = 1000;
    store->setLimits(limits);
    why = refusal(house + 1, Kind::Photo, file(QStringLiteral("big.png"), QByteArray(1001, 'a')));
    EXPECT_EQ(why, QStringLiteral("“big.png”有 1001 字节，超过了每个文件 1000 字节 的上限，没有添加"));
}

TEST_P(AttachmentTest, TheFirstPhotoIsTheCoverAndMovingAndRemovingKeepTheOrder)
{
    const int a = added(house, Kind::Photo, picture(QStringLiteral("a.jpg"), {300, 200}, Qt::red));
    const int b = added(house, Kind::Photo, picture(QStringLiteral("b.jpg"), {300, 200}, Qt::green));
    const int c = added(house, Kind::Photo, picture(QStringLiteral("c.jpg"), {300, 200}, Qt::blue));
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    ASSERT_GT(c, 0);
    EXPECT_EQ(order(house), (QVector<int>{a, b, c}));
    EXPECT_EQ(coverOf(house), column(a, "thumbnail"));

    const auto cover = store->move(c, 0);
    ASSERT_TRUE(cover) << cover.error().toStdString(); // made the cover
    EXPECT_EQ(order(house), (QVector<int>{c, a, b}));
    EXPECT_EQ(coverOf(house), column(c, "thumbnail"));
    const auto last = store->move(c, 99);
    ASSERT_TRUE(last) << last.error().toStdString(); // beyond the end: the last
    EXPECT_EQ(order(house), (QVector<int>{a, b, c}));

    const auto removed = store->remove(a);
    ASSERT_TRUE(removed) << removed.error().toStdString();
    EXPECT_EQ(order(house), (QVector<int>{b, c}));
    EXPECT_EQ(coverOf(house), column(b, "thumbnail"));
    EXPECT_EQ(scalar(QStringLiteral("select min(sortno) from fy_attachment where houseid=%1").arg(house)).toInt(), 0);
    const auto again = store->remove(a);
    EXPECT_FALSE(again);
    EXPECT_EQ(again.error(), QStringLiteral("这个照片或文件已不存在（可能已被其他用户删除）"));
    const auto gone = store->content(a);
    EXPECT_TRUE(gone.valueOr({}).isEmpty());
    EXPECT_EQ(gone.error(), QStringLiteral("这个照片或文件已不存在（可能已被其他用户删除）"));

    // Covers are read only for the listings asked for, and a listing without photos has none.
    const auto covers = store->covers({house, house + 1});
    ASSERT_TRUE(covers) << covers.error().toStdString();
    EXPECT_EQ(covers->size(), 1);
    EXPECT_TRUE(covers->contains(house));

    // A new photo goes to the end, not before the cover.
    const int d = added(house, Kind::Photo, picture(QStringLiteral("d.jpg"), {300, 200}, Qt::yellow));
    EXPECT_EQ(order(house), (QVector<int>{b, c, d}));
}

TEST_P(AttachmentTest, ADocumentIsKeptByteForByteAndAPlanGetsAThumbnail)
{
    QByteArray pdf("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    for (int i = 0; i < 256; ++i)
        pdf += char(i); // every byte value, the zero among them, survives the round trip
    pdf += "\n%%EOF\n";
    const int doc = added(house, Kind::Document, file(QStringLiteral("产权证.pdf"), pdf));
    ASSERT_GT(doc, 0);
    EXPECT_EQ(contentOf(doc), pdf);
    EXPECT_EQ(column(doc, "original"), pdf);
    EXPECT_EQ(scalar(QStringLiteral("select mimetype from fy_attachment where id=%1").arg(doc)).toString(), QStringLiteral("application/pdf"));

    const QString planPath = picture(QStringLiteral("户型图.png"), {800, 600}, Qt::white, "PNG");
    const int plan = added(house, Kind::Document, planPath);
    ASSERT_GT(plan, 0);
    QFile planFile(planPath);
    ASSERT_TRUE(planFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(contentOf(plan), planFile.readAll()); // as it came, not scaled
    EXPECT_EQ(QImage::fromData(column(plan, "thumbnail")).width(), 160);

    const auto listedDocs = store->list(house, Kind::Document);
    const auto listedPhotos = store->list(house, Kind::Photo);
    ASSERT_TRUE(listedDocs) << listedDocs.error().toStdString();
    ASSERT_TRUE(listedPhotos) << listedPhotos.error().toStdString();
    const QVector<AttachmentStore::Item> &docs = *listedDocs, &photos = *listedPhotos;
    ASSERT_EQ(docs.size(), 2);
    EXPECT_TRUE(photos.isEmpty());
    EXPECT_TRUE(docs.at(0).thumbnail.isEmpty());
    EXPECT_EQ(docs.at(0).fileSize, pdf.size());
    EXPECT_EQ(docs.at(1).fileName, QStringLiteral("户型图.png"));
}

TEST_P(AttachmentTest, AFailureWhileStoringLeavesNothingHalfWrittenAndSaysSo)
{
    ASSERT_GT(added(house, Kind::Photo, picture(QStringLiteral("kept.jpg"), {300, 200}, Qt::red)), 0);
    // The engine fails the row itself, after the limits were counted in the same transaction.
    if (engine() == u"sqlite") {
        ASSERT_TRUE(t.db->Execute(QStringLiteral("CREATE TRIGGER fail_store BEFORE INSERT ON fy_attachment BEGIN "
                                                 "SELECT RAISE(ABORT, 'disk I/O error'); END")))
            << t.db->LastError().Description().toStdString();
    } else {
        ASSERT_TRUE(t.db->Execute(QStringLiteral("CREATE FUNCTION fail_store() RETURNS trigger AS $$ BEGIN "
                                                 "RAISE EXCEPTION 'server closed the connection unexpectedly'; END $$ LANGUAGE plpgsql")))
            << t.db->LastError().Description().toStdString();
        ASSERT_TRUE(t.db->Execute(QStringLiteral("CREATE TRIGGER fail_store BEFORE INSERT ON fy_attachment FOR EACH ROW EXECUTE FUNCTION fail_store()")))
            << t.db->LastError().Description().toStdString();
    }
    QString why = refusal(house, Kind::Photo, picture(QStringLiteral("lost.jpg"), {300, 200}, Qt::blue));
    EXPECT_TRUE(why.startsWith(QStringLiteral("“lost.jpg”没有保存："))) << why.toStdString();
    EXPECT_EQ(count(), 1);
    ASSERT_TRUE(t.db->Execute(QStringLiteral("DROP TRIGGER fail_store") + (engine() == u"sqlite" ? QString() : QStringLiteral(" ON fy_attachment"))));
    // The connection is usable afterwards: the same photo goes in at the next try.
    EXPECT_GT(added(house, Kind::Photo, files.filePath(QStringLiteral("lost.jpg"))), 0);
    EXPECT_EQ(count(), 2);

    if (engine() == u"sqlite") {
        // The database file goes away under the workstation.
        const QString path = t.dir.filePath(QStringLiteral("jx.db"));
        ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".away")));
        why = refusal(house, Kind::Photo, files.filePath(QStringLiteral("kept.jpg")));
        EXPECT_TRUE(why.startsWith(QStringLiteral("“kept.jpg”没有保存："))) << why.toStdString();
        EXPECT_TRUE(why.contains(QStringLiteral("数据库文件已被删除或替换"))) << why.toStdString();
        ASSERT_TRUE(QFile::rename(path + QStringLiteral(".away"), path));
        EXPECT_EQ(count(), 2);
    }
}

TEST_P(AttachmentTest, RemovingAListingRemovesItsPhotos)
{
    const int lonely = scalar(QStringLiteral("select min(id) from fy_house h where not exists (select 1 from gj_follow g where g.houseid=h.id)"
                                             " and not exists (select 1 from ht_contract c where c.houseid=h.id)"
                                             " and not exists (select 1 from cj_offer o where o.houseid=h.id)"
                                             " and not exists (select 1 from dk_viewing v where v.houseid=h.id)"))
                           .toInt();
    ASSERT_GT(lonely, 0);
    ASSERT_GT(added(lonely, Kind::Photo, picture(QStringLiteral("x.jpg"), {300, 200}, Qt::red)), 0);
    ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("delete from fy_house where id=?"), {lonely})) << t.db->LastError().Description().toStdString();
    EXPECT_EQ(count(QStringLiteral("houseid=%1").arg(lonely)), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, AttachmentTest, ::testing::Values("sqlite", "postgres"));

} // namespace
