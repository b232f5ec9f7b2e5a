// Opening a listing's record with 20 photos (the form, its fields and the
// strip of stored thumbnails, through the control container) next to loading
// the same 20 thumbnails into a plain QListWidget, and next to opening a
// listing without photos, in the same run.

#include "BenchDatabase.h"

#include "jxedit/AttachmentStore.h"
#include "jxedit/DataLink.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "controls/ControlContainer.h"
#include "components/data/Database.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include "ProgramPaths.h"

namespace {

constexpr int kPhotos = 20;
constexpr int kWithPhotos = 1;
constexpr int kWithout = 2;

struct Fixture
{
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<Database> db;
    AppContext context;
    CurrentUser user;

    Fixture()
    {
        path = dir.filePath(QStringLiteral("jx.db"));
        db = std::make_unique<Database>();
        benchdb::build(*db, path, 300, 0);
        const bool attached = context.Attach(db.get(), 0);
        user.Attach(&context);
        user.SetUserName(QStringLiteral("admin"));
        if (!attached || !user.Login(QString())) {
            std::fprintf(stderr, "cannot attach the database or sign in: %s\n", qPrintable(user.LastError().Description()));
            std::exit(1);
        }
        // Camera-sized pictures, so the stored copies are what real photos give.
        jxedit::AttachmentStore store(jxedit::DataLink(db.get()), QStringLiteral("admin"));
        for (int i = 0; i < kPhotos; ++i) {
            QImage image(3000, 2000, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i * 17, 160, 210));
            QPainter p(&image);
            for (int k = 0; k < 40; ++k)
                p.fillRect((k * 137 + i * 31) % 2800, (k * 71) % 1800, 200, 120, QColor::fromHsv((k * 29) % 360, 200, 150));
            p.end();
            const QString file = dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
            if (!image.save(file, "JPEG", 90)) {
                std::fprintf(stderr, "cannot add photo %d: cannot write %s\n", i, qPrintable(file));
                std::exit(1);
            }
            if (const auto added = store.add(kWithPhotos, jxedit::AttachmentStore::Kind::Photo, file); !added) {
                std::fprintf(stderr, "cannot add photo %d: %s\n", i, qPrintable(added.error()));
                std::exit(1);
            }
        }
        com::RegistryStore::setFilePath(dir.filePath(QStringLiteral("registry.json")));
        if (com::InprocServer::callRegistration(programPath("JXEDIT_LIBRARY"), true) != S_OK) {
            std::fprintf(stderr, "cannot register %s\n", qPrintable(programPath("JXEDIT_LIBRARY")));
            std::exit(1);
        }
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void openListing(benchmark::State &state, int id, int expectedPhotos)
{
    Fixture &f = fixture();
    QWidget page;
    page.resize(1000, 700);
    page.show();
    for (auto _ : state) {
        qvcontrols::ControlContainer container;
        qvcontrols::ControlSite *site = container.Add(QStringLiteral("JxEdit.oedit"), QStringLiteral("edit"), &page);
        const bool ok = com::toQVariant(com::call(site->object(), QStringLiteral("Py_Init"),
                                                  {com::Variant::fromDispatch(f.context.toVariant().pdispVal), com::Variant(),
                                                   com::Variant::fromInt32(1001), com::Variant::fromDouble(id), com::Variant::fromInt16(2)}))
                            .toBool();
        site->widget()->resize(page.size());
        site->widget()->show();
        auto *photos = site->widget()->findChild<QListWidget *>(QStringLiteral("photos"));
        if (!ok || !photos || photos->count() != expectedPhotos) {
            state.SkipWithError("the listing did not open with its photos");
            break;
        }
        QApplication::processEvents();
        benchmark::DoNotOptimize(photos->count());
        com::call(site->object(), QStringLiteral("Clear"));
    }
}

void BM_OpenListingWith20Photos(benchmark::State &state) { openListing(state, kWithPhotos, kPhotos); }
void BM_OpenListingWithoutPhotos(benchmark::State &state) { openListing(state, kWithout, 0); }

// The floor: the same stored thumbnails read straight from the file into a list widget.
void BM_Plain20ThumbnailsIntoListWidget(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString name = QStringLiteral("bench-photos");
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name) : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(f.path);
    if (!db.isOpen() && !db.open())
        state.SkipWithError("cannot open the database");
    QWidget page;
    page.resize(1000, 700);
    page.show();
    for (auto _ : state) {
        QListWidget list(&page);
        list.setViewMode(QListView::IconMode);
        list.setIconSize(QSize(160, 120));
        QSqlQuery q(db);
        q.prepare(QStringLiteral("select filename,thumbnail from fy_attachment where houseid=? and kind='photo' order by sortno,id"));
        q.addBindValue(kWithPhotos);
        q.exec();
        while (q.next()) {
            QPixmap thumb;
            thumb.loadFromData(q.value(1).toByteArray());
            list.addItem(new QListWidgetItem(QIcon(thumb), q.value(0).toString()));
        }
        list.show();
        QApplication::processEvents();
        if (list.count() != kPhotos) {
            state.SkipWithError("the thumbnails were not read");
            break;
        }
        benchmark::DoNotOptimize(list.count());
    }
}

BENCHMARK(BM_Plain20ThumbnailsIntoListWidget)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenListingWithoutPhotos)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenListingWith20Photos)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    fixture();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
