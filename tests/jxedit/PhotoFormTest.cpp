// A listing's photos on its form: files dropped on the form, the thumbnails
// strip, removing after asking, the cover, a new listing saved first, the
// viewer's keys and documents opened through a temporary file.

#include "FunctionHost.h"

#include "jxedit/AttachmentStore.h"
#include "jxedit/PhotoStrip.h"
#include "jxedit/PhotoViewer.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QBuffer>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QHeaderView>
#include <QScrollArea>
#include <QTableView>
#include <QTest>

namespace {

class PhotoFormTest : public FunctionHost
{
protected:
    QString picture(const QString &name, QColor colour, QSize size = {640, 480})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = files.filePath(name);
        EXPECT_TRUE(image.save(path, "JPEG"));
        return path;
    }
    QString pdf(const QString &name)
    {
        const QString path = files.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n1 0 obj << >> endobj\n%%EOF\n");
        return path;
    }
    qvcontrols::ControlSite *openListing(int id, int mode = 2)
    {
        qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("listing%1").arg(++m_sites));
        EXPECT_TRUE(start(site, {com::Variant::fromInt32(1001), com::Variant::fromDouble(id), com::Variant::fromInt16(int16_t(mode))}));
        return site;
    }
    // Drops `paths` on `target` as a file manager would.
    static void drop(QWidget *target, const QStringList &paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
    }
    static QWidget *formOf(qvcontrols::ControlSite *site) { return child<QScrollArea>(site, QString())->widget(); }
    static QStringList texts(QListWidget *list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    int stored(int house) { return scalar(QStringLiteral("select count(*) from fy_attachment where houseid=%1").arg(house)).toInt(); }

    QTemporaryDir files;
    int m_sites = 0;
};

TEST_P(PhotoFormTest, FilesDroppedOnTheFormBecomeThumbnailsAndDocumentsOfTheListing)
{
    const int house = scalar(QStringLiteral("select min(id) from fy_house")).toInt();
    qvcontrols::ControlSite *site = openListing(house);
    auto *photos = child<QListWidget>(site, QStringLiteral("photos"));
    auto *documents = child<QListWidget>(site, QStringLiteral("documents"));
    ASSERT_NE(photos, nullptr);
    ASSERT_NE(documents, nullptr);
    EXPECT_EQ(photos->count(), 0);
    EXPECT_EQ(photos->viewMode(), QListView::IconMode);

    jx::ScopedMessageBoxRecorder boxes(jx::OK);
    drop(formOf(site), {picture(QStringLiteral("客厅.jpg"), Qt::red), picture(QStringLiteral("卧室.jpg"), Qt::green),
                        pdf(QStringLiteral("产证.pdf")), files.filePath(QStringLiteral("没有这个.jpg"))});
    EXPECT_EQ(texts(photos), (QStringList{QStringLiteral("封面 · 客厅.jpg"), QStringLiteral("卧室.jpg")}));
    ASSERT_EQ(documents->count(), 1);
    EXPECT_TRUE(documents->item(0)->text().startsWith(QStringLiteral("产证.pdf（"))) << documents->item(0)->text().toStdString();
    // The icons are the stored thumbnails, 160 wide.
    EXPECT_EQ(photos->item(0)->icon().availableSizes().value(0).width(), 160);
    // The one refusal is said, after the files that went in.
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.boxes().first().text, QStringLiteral("已添加 3 个，以下没有添加：\n文件“没有这个.jpg”不存在"));
    EXPECT_EQ(stored(house), 3);
    bool logged = false;
    for (const RaisedEvent &e : eventsNamed(QStringLiteral("errmessage")))
        logged = logged || e.params.value(0).toString().startsWith(QStringLiteral("添加照片/文件 房源<%1>：客厅.jpg").arg(house));
    EXPECT_TRUE(logged);

    // Another workstation opening the listing sees them.
    qvcontrols::ControlSite *again = openListing(house);
    EXPECT_EQ(child<QListWidget>(again, QStringLiteral("photos"))->count(), 2);
}

TEST_P(PhotoFormTest, RemovingAsksFirstAndTheChosenPhotoBecomesTheCover)
{
    const int house = scalar(QStringLiteral("select min(id) from fy_house")).toInt();
    qvcontrols::ControlSite *site = openListing(house);
    auto *photos = child<QListWidget>(site, QStringLiteral("photos"));
    {
        jx::ScopedMessageBoxRecorder quiet(jx::OK);
        drop(photos->viewport(), {picture(QStringLiteral("a.jpg"), Qt::red), picture(QStringLiteral("b.jpg"), Qt::green),
                                  picture(QStringLiteral("c.jpg"), Qt::blue)});
        ASSERT_EQ(quiet.count(), 0);
    }
    ASSERT_EQ(photos->count(), 3);
    auto *cover = child<QPushButton>(site, QStringLiteral("coverPhoto"));
    auto *remove = child<QPushButton>(site, QStringLiteral("removePhoto"));
    EXPECT_EQ(remove->accessibleName(), QStringLiteral("删除照片"));

    photos->setCurrentRow(0);
    EXPECT_FALSE(cover->isEnabled()); // already the cover
    photos->setCurrentRow(2);
    ASSERT_TRUE(cover->isEnabled());
    cover->click();
    EXPECT_EQ(texts(photos), (QStringList{QStringLiteral("封面 · c.jpg"), QStringLiteral("a.jpg"), QStringLiteral("b.jpg")}));

    photos->setCurrentRow(1);
    {
        jx::ScopedMessageBoxRecorder boxes(jx::No);
        remove->click();
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_EQ(boxes.boxes().first().text, QStringLiteral("确定删除照片“a.jpg”吗？删除后不能恢复。"));
    }
    EXPECT_EQ(photos->count(), 3);
    EXPECT_EQ(stored(house), 3);
    {
        jx::ScopedMessageBoxRecorder boxes(jx::Yes);
        photos->setCurrentRow(0);
        QTest::keyClick(photos, Qt::Key_Delete); // the key does what the button does
        EXPECT_EQ(boxes.count(), 1);
    }
    EXPECT_EQ(texts(photos), (QStringList{QStringLiteral("封面 · a.jpg"), QStringLiteral("b.jpg")}));
    EXPECT_EQ(stored(house), 2);
}

TEST_P(PhotoFormTest, ANewListingIsSavedBeforeItsFirstPhotoAndAViewedOneTakesNone)
{
    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oedit"), QStringLiteral("new"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1001), com::Variant::fromDouble(0), com::Variant::fromInt16(1)}));
    const int before = scalar(QStringLiteral("select count(*) from fy_house")).toInt();
    const QString photo = picture(QStringLiteral("门口.jpg"), Qt::darkYellow);
    {
        jx::ScopedMessageBoxRecorder boxes(jx::No);
        drop(formOf(site), {photo});
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_EQ(boxes.boxes().first().text, QStringLiteral("这是一套还没有保存的新房源，添加照片或文件前需要先保存。现在保存吗？"));
    }
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_attachment")).toInt(), 0);

    // Saving fails while required fields are empty: the typing stays, nothing is kept.
    child<QLineEdit>(site, QStringLiteral("field_community"))->setText(QStringLiteral("翠苑一区"));
    {
        jx::ScopedMessageBoxRecorder boxes(jx::Yes);
        drop(formOf(site), {photo});
    }
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_house")).toInt(), before);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_attachment")).toInt(), 0);
    EXPECT_EQ(child<QLineEdit>(site, QStringLiteral("field_community"))->text(), QStringLiteral("翠苑一区"));

    child<QLineEdit>(site, QStringLiteral("lookup_district"))->setText(QStringLiteral("西湖区"));
    child<QLineEdit>(site, QStringLiteral("field_rooms"))->setText(QStringLiteral("2"));
    child<QLineEdit>(site, QStringLiteral("field_area"))->setText(QStringLiteral("88"));
    child<QLineEdit>(site, QStringLiteral("field_price"))->setText(QStringLiteral("260"));
    {
        jx::ScopedMessageBoxRecorder boxes(jx::Yes);
        drop(formOf(site), {photo});
        EXPECT_EQ(boxes.count(), 1) << boxes.boxes().value(1).text.toStdString();
    }
    const int saved = com::toQVariant(com::get(site->object(), QStringLiteral("RecordId"))).toInt();
    ASSERT_GT(saved, 0) << child<QLabel>(site, QStringLiteral("error_district"))->text().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from fy_attachment where houseid=%1").arg(saved)).toInt(), 1);
    EXPECT_EQ(child<QListWidget>(site, QStringLiteral("photos"))->count(), 1);

    // Opened to look at, the listing's photos cannot be changed.
    qvcontrols::ControlSite *viewed = openListing(saved, 0);
    EXPECT_FALSE(child<QPushButton>(viewed, QStringLiteral("addPhoto"))->isEnabled());
    EXPECT_FALSE(child<QPushButton>(viewed, QStringLiteral("viewPhoto"))->isEnabled()); // nothing chosen yet
    child<QListWidget>(viewed, QStringLiteral("photos"))->setCurrentRow(0);
    EXPECT_TRUE(child<QPushButton>(viewed, QStringLiteral("viewPhoto"))->isEnabled());
    EXPECT_FALSE(child<QPushButton>(viewed, QStringLiteral("removePhoto"))->isEnabled());
}

TEST_P(PhotoFormTest, ADocumentOpensFromATemporaryCopyUnderASafeName)
{
    const int house = scalar(QStringLiteral("select min(id) from fy_house")).toInt();
    const auto link = jxedit::DataLink::fromContext(&context);
    ASSERT_TRUE(link) << link.error().toStdString();
    jxedit::PhotoStrip strip(*link, QStringLiteral("admin"));
    QList<QUrl> opened;
    strip.setOpener([&](const QUrl &url) {
        opened << url;
        return true;
    });
    strip.setListing(house);
    jx::ScopedMessageBoxRecorder boxes(jx::OK);
    const QString plan = pdf(QStringLiteral("户型图.pdf"));
    ASSERT_EQ(strip.addFiles({plan}), 1);
    // A name written by another program, pointing out of the folder.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update fy_attachment set filename='../../evil.pdf'")));
    strip.refresh();
    ASSERT_TRUE(strip.openDocument(0));
    ASSERT_EQ(opened.size(), 1);
    const QString path = opened.first().toLocalFile();
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("evil.pdf"));
    QFile copy(path), original(plan);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), original.readAll());
    EXPECT_EQ(boxes.count(), 0);
    // A document removed by another workstation meanwhile is said so.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("delete from fy_attachment")));
    EXPECT_FALSE(strip.openDocument(0));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.boxes().first().text, QStringLiteral("这个照片或文件已不存在（可能已被其他用户删除）"));
}

TEST_P(PhotoFormTest, TheListingGridPaintsTheCoverOfTheRowsOnScreenOnly)
{
    auto png = [](QColor colour) {
        QImage image(160, 120, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    };
    // Every listing has a cover; the first one a second photo behind it.
    ASSERT_TRUE(t.db->BeginTrans());
    const QByteArray blue = png(Qt::blue), yellow = png(Qt::yellow), green = png(Qt::green);
    for (int id = 1; id <= 300; ++id)
        ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("insert into fy_attachment (id,houseid,kind,filename,sortno,thumbnail) values (?,?,'photo','a.png',0,?)"),
                                        {id, id, id == 1 ? yellow : blue}));
    ASSERT_TRUE(t.db->ExecuteParams(QStringLiteral("insert into fy_attachment (id,houseid,kind,filename,sortno,thumbnail) values (301,1,'photo','b.png',1,?)"),
                                    {green}));
    ASSERT_TRUE(t.db->CommitTrans());

    qvcontrols::ControlSite *site = add(QStringLiteral("JxEdit.oquery"), QStringLiteral("grid"));
    ASSERT_TRUE(start(site, {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}));
    page.show();
    auto *view = child<QTableView>(site, QString());
    ASSERT_NE(view, nullptr);
    QAbstractItemModel *shown = view->model();
    int cover = -1;
    for (int c = 0; c < shown->columnCount(); ++c)
        if (shown->headerData(c, Qt::Horizontal).toString() == u"封面")
            cover = c;
    ASSERT_GE(cover, 0);
    EXPECT_EQ(shown->index(0, 0).data().toString(), QStringLiteral("FY000001"));
    view->scrollTo(shown->index(0, cover)); // the definition puts the cover last

    view->viewport()->grab(); // painting asks for the rows on screen
    QApplication::processEvents();
    const QImage painted = view->viewport()->grab().toImage();
    const int onScreen = view->viewport()->height() / view->rowHeight(0) + 1;
    const int read = view->property("coversRead").toInt();
    EXPECT_GT(read, 0);
    EXPECT_LE(read, onScreen);
    const QColor first = painted.pixelColor(view->visualRect(shown->index(0, cover)).center());
    EXPECT_GT(first.red(), 200) << first.name().toStdString(); // yellow: the first photo, not the second
    EXPECT_GT(first.green(), 200) << first.name().toStdString();
    EXPECT_LT(first.blue(), 60) << first.name().toStdString();
    const QColor second = painted.pixelColor(view->visualRect(shown->index(1, cover)).center());
    EXPECT_GT(second.blue(), 200) << second.name().toStdString();

    // Painting again reads nothing again; the far end reads its own rows only.
    view->viewport()->grab();
    QApplication::processEvents();
    EXPECT_EQ(view->property("coversRead").toInt(), read);
    view->scrollToBottom();
    view->viewport()->grab();
    QApplication::processEvents();
    EXPECT_LE(view->property("coversRead").toInt(), read + onScreen);
    EXPECT_GT(view->property("coversRead").toInt(), read);
}

INSTANTIATE_TEST_SUITE_P(Engines, PhotoFormTest, ::testing::Values("sqlite", "postgres"));

// The viewer on its own: it reads only the photo it shows and answers the keys.
TEST(PhotoViewer, ArrowKeysStepZoomKeysZoomAndEscapeCloses)
{
    QVector<jxedit::PhotoViewer::Photo> photos;
    QHash<int, QByteArray> stored;
    for (int i = 1; i <= 3; ++i) {
        QImage image(400 * i, 300, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 90, 200, 200));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        stored.insert(i, bytes);
        photos.append({i, QStringLiteral("照片%1.png").arg(i)});
    }
    QList<int> loaded;
    jxedit::PhotoViewer viewer(photos, 1, [&](int id) -> jx::Result<QByteArray> {
        loaded << id;
        return stored.value(id);
    });
    viewer.resize(900, 700);
    viewer.show();
    EXPECT_EQ(loaded, (QList<int>{2}));
    EXPECT_EQ(viewer.picture().size(), QSize(800, 300));
    EXPECT_EQ(viewer.findChild<QLabel *>(QStringLiteral("caption"))->text(), QStringLiteral("2 / 3　照片2.png"));
    EXPECT_EQ(viewer.findChild<QPushButton *>(QStringLiteral("next"))->accessibleName(), QStringLiteral("下一张"));
    // Fitted to the area it got once shown, not to the size it had before: 800 px wide in about 880.
    EXPECT_GT(viewer.findChild<QLabel *>(QStringLiteral("picture"))->pixmap().width(), 700);

    // The arrows step also while a button has the focus.
    viewer.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
    viewer.findChild<QPushButton *>(QStringLiteral("zoomOut"))->setFocus();
    QTest::keyClick(viewer.findChild<QPushButton *>(QStringLiteral("zoomOut")), Qt::Key_Right);
    EXPECT_EQ(viewer.current(), 2);
    QTest::keyClick(&viewer, Qt::Key_Right); // the last stays
    EXPECT_EQ(viewer.current(), 2);
    EXPECT_FALSE(viewer.findChild<QPushButton *>(QStringLiteral("next"))->isEnabled());
    QTest::keyClick(&viewer, Qt::Key_Left);
    QTest::keyClick(&viewer, Qt::Key_Left);
    EXPECT_EQ(viewer.current(), 0);
    EXPECT_EQ(loaded, (QList<int>{2, 3, 2, 1}));

    const double fitted = viewer.zoom();
    QTest::keyClick(&viewer, Qt::Key_Plus);
    EXPECT_GT(viewer.zoom(), fitted);
    const QLabel *shown = viewer.findChild<QLabel *>(QStringLiteral("picture"));
    EXPECT_EQ(shown->pixmap().width(), qRound(400 * viewer.zoom()));
    QTest::keyClick(&viewer, Qt::Key_Minus);
    QTest::keyClick(&viewer, Qt::Key_Minus);
    EXPECT_LT(viewer.zoom(), fitted);
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    const double before = viewer.zoom();
    QApplication::sendEvent(viewer.findChild<QScrollArea *>()->viewport(), &wheel);
    EXPECT_GT(viewer.zoom(), before);

    QTest::keyClick(&viewer, Qt::Key_Escape);
    EXPECT_FALSE(viewer.isVisible());
    EXPECT_EQ(viewer.result(), QDialog::Rejected);
}

} // namespace

// A photo that cannot be read, or reads as no picture, shows none and leaves
// the viewer stepping on to the others; each is read only when shown.
TEST(PhotoViewer, APhotoThatCannotBeReadShowsNoPictureAndTheOthersStillShow)
{
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QList<int> loaded;
    jxedit::PhotoViewer viewer({{1, QStringLiteral("有.png")}, {2, QStringLiteral("无.png")}, {3, QStringLiteral("坏.png")}}, 1,
                               [&](int id) -> jx::Result<QByteArray> {
                                   loaded << id;
                                   if (id == 2)
                                       return jx::fail(QStringLiteral("这个照片或文件已不存在（可能已被其他用户删除）"));
                                   return id == 1 ? png : QByteArray("not a picture");
                               });
    const auto *shown = viewer.findChild<QLabel *>(QStringLiteral("picture"));
    EXPECT_TRUE(viewer.picture().isNull());
    EXPECT_EQ(viewer.findChild<QLabel *>(QStringLiteral("caption"))->text(), QStringLiteral("2 / 3　无.png"));
    EXPECT_EQ(shown->text(), QStringLiteral("这个照片或文件已不存在（可能已被其他用户删除）")) << "the reason is what the user sees";
    viewer.step(1);
    EXPECT_EQ(viewer.current(), 2);
    EXPECT_TRUE(viewer.picture().isNull());
    EXPECT_EQ(shown->text(), QStringLiteral("照片无法显示"));
    viewer.showPhoto(0);
    EXPECT_EQ(viewer.picture().size(), QSize(200, 100));
    EXPECT_FALSE(shown->pixmap().isNull());
    EXPECT_EQ(loaded, (QList<int>{2, 3, 1}));
    viewer.step(1);
    EXPECT_TRUE(shown->pixmap().isNull()) << "a photo that cannot be read does not leave the one before it on screen";
    EXPECT_FALSE(shown->text().isEmpty());
}
