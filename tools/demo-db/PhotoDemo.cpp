#include "PhotoDemo.h"

#include "jxedit/AttachmentStore.h"
#include "jxedit/DataLink.h"

#include "components/data/Database.h"
#include "components/data/QueryResult.h"
#include "components/data/Recordset.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

namespace {

QColor colourOf(int id) { return QColor::fromHsv((id * 47) % 360, 110 + (id * 13) % 90, 200); }

void plate(QPainter &p, const QRect &area, const QString &text)
{
    QFont font = p.font();
    font.setPixelSize(area.height() / 2);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawRoundedRect(area, 8, 8);
    p.setPen(Qt::white);
    p.drawText(area, Qt::AlignCenter, text);
}

} // namespace

QImage PhotoDemo::facade(int id, const QString &code, const QString &community)
{
    QImage image(960, 720, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 720);
    sky.setColorAt(0, QColor(0x7d, 0xb9, 0xe8));
    sky.setColorAt(1, QColor(0xe8, 0xf2, 0xfa));
    p.fillRect(image.rect(), sky);
    p.fillRect(QRect(0, 600, 960, 120), QColor(0x8a, 0x9a, 0x7a)); // the lawn in front
    const QColor wall = colourOf(id);
    const int floors = 5 + id % 8, columns = 4 + id % 3;
    const int width = 120 * columns, height = qMin(540, floors * 60);
    const QRect building((960 - width) / 2, 600 - height, width, height);
    p.fillRect(building, wall);
    p.fillRect(QRect(building.left() - 12, building.top() - 16, building.width() + 24, 16), wall.darker(140)); // the roof edge
    for (int f = 0; f < floors; ++f)
        for (int c = 0; c < columns; ++c) {
            const QRect window(building.left() + c * 120 + 30, building.top() + f * 60 + 14, 60, 34);
            p.fillRect(window, (f + c + id) % 5 == 0 ? QColor(0xff, 0xe9, 0xa8) : QColor(0x3c, 0x5a, 0x78));
            p.fillRect(window.adjusted(0, 30, 0, 6), wall.darker(120)); // the sill
        }
    p.fillRect(QRect(building.center().x() - 40, 600 - 90, 80, 90), wall.darker(170)); // the entrance
    plate(p, QRect(40, 630, 880, 64), QStringLiteral("%1  %2").arg(code, community));
    return image;
}

QImage PhotoDemo::room(int id, int room, const QString &code)
{
    static const QStringList names = {QStringLiteral("客厅"), QStringLiteral("卧室"), QStringLiteral("厨房")};
    QImage image(960, 720, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor wall = colourOf(id).lighter(150);
    p.fillRect(image.rect(), wall);
    QPolygon floor;
    floor << QPoint(0, 720) << QPoint(160, 500) << QPoint(800, 500) << QPoint(960, 720);
    p.setBrush(QColor(0xb0, 0x88, 0x60));
    p.setPen(Qt::NoPen);
    p.drawPolygon(floor);
    p.fillRect(QRect(330, 120, 300, 240), QColor(0xcf, 0xe8, 0xf8)); // the window
    p.setPen(QPen(Qt::white, 10));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(330, 120, 300, 240));
    p.drawLine(480, 120, 480, 360);
    p.setPen(Qt::NoPen);
    const QColor furniture = colourOf(id + 5).darker(130);
    if (room == 0) {
        p.setBrush(furniture);
        p.drawRoundedRect(QRect(220, 470, 520, 130), 24, 24); // a sofa
        p.drawRoundedRect(QRect(220, 420, 520, 70), 20, 20);
    } else if (room == 1) {
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRect(260, 450, 440, 190), 16, 16); // a bed
        p.setBrush(furniture);
        p.drawRoundedRect(QRect(260, 540, 440, 100), 12, 12);
    } else {
        p.setBrush(QColor(0xee, 0xee, 0xee));
        p.drawRect(QRect(100, 420, 760, 160)); // the worktop
        p.setBrush(furniture);
        p.drawRect(QRect(100, 440, 760, 140));
    }
    plate(p, QRect(40, 30, 420, 60), QStringLiteral("%1 · %2").arg(code, names.value(room)));
    return image;
}

QImage PhotoDemo::floorPlan(int rooms, const QString &code)
{
    QImage image(900, 700, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(24);
    p.setFont(font);
    const QRect outline(60, 80, 780, 560);
    struct Room
    {
        QRect rect;
        QString name;
    };
    QVector<Room> plan{{QRect(60, 80, 420, 300), QStringLiteral("客厅")},
                       {QRect(480, 80, 360, 200), QStringLiteral("厨房")},
                       {QRect(480, 280, 360, 100), QStringLiteral("卫生间")}};
    const int bedrooms = qBound(1, rooms, 4);
    const int w = 780 / bedrooms;
    for (int i = 0; i < bedrooms; ++i)
        plan.append({QRect(60 + i * w, 380, i + 1 == bedrooms ? 780 - i * w : w, 260),
                     bedrooms == 1 ? QStringLiteral("卧室") : QStringLiteral("卧室%1").arg(i + 1)});
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 4));
    for (const Room &r : plan) {
        p.setBrush(r.name.startsWith(QStringLiteral("卧室")) ? QColor(0xf3, 0xec, 0xdc) : QColor(0xf7, 0xf7, 0xf7));
        p.drawRect(r.rect);
        p.drawText(r.rect, Qt::AlignCenter, QStringLiteral("%1\n%2×%3 m").arg(r.name).arg(r.rect.width() / 60.0, 0, 'f', 1).arg(r.rect.height() / 60.0, 0, 'f', 1));
    }
    p.setPen(QPen(QColor(0x11, 0x11, 0x11), 10));
    p.setBrush(Qt::NoBrush);
    p.drawRect(outline);
    p.setPen(QColor(0x1f, 0x4e, 0x8c));
    font.setPixelSize(30);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(60, 20, 780, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("%1 户型图（%2室）").arg(code).arg(bedrooms));
    return image;
}

jx::Result<> PhotoDemo::add(Database &db, int listings)
{
    const QueryResult result = db.QueryParams(QStringLiteral("select id,code,community,rooms from fy_house where id<=? order by id"), {listings});
    if (!result.ok())
        return jx::fail(db.LastError().Description());
    struct Listing
    {
        int id;
        QString code, community;
        int rooms;
    };
    QVector<Listing> rows;
    for (Recordset rs = result.Recordset(); !rs.Eof(); rs.MoveNext())
        rows.append({rs.Fields(QStringLiteral("id")).toInt(), rs.Fields(QStringLiteral("code")).toString(),
                     rs.Fields(QStringLiteral("community")).toString(), rs.Fields(QStringLiteral("rooms")).toInt()});
    QTemporaryDir dir;
    if (!dir.isValid())
        return jx::fail(QStringLiteral("cannot make a temporary folder for the demo photos"));
    // Through the store, as a user's files go in: scaled once, stored once.
    jxedit::AttachmentStore store(jxedit::DataLink(&db), QStringLiteral("admin"));
    using Kind = jxedit::AttachmentStore::Kind;
    for (const Listing &l : std::as_const(rows)) {
        const int photos = 2 + l.id % 4; // 2 to 5
        QVector<std::pair<QImage, QString>> files{{facade(l.id, l.code, l.community), QStringLiteral("%1-外观.jpg").arg(l.code)}};
        for (int i = 1; i < photos; ++i) {
            if (i == 4)
                files.append({floorPlan(l.rooms, l.code), QStringLiteral("%1-户型.png").arg(l.code)});
            else
                files.append({room(l.id, i - 1, l.code), QStringLiteral("%1-室内%2.jpg").arg(l.code).arg(i)});
        }
        for (const auto &[image, name] : std::as_const(files)) {
            const QString path = dir.filePath(name);
            if (!image.save(path, name.endsWith(QStringLiteral(".png")) ? "PNG" : "JPEG", 90))
                return jx::fail(QStringLiteral("cannot write %1").arg(path));
            if (const auto added = store.add(l.id, Kind::Photo, path); !added)
                return jx::fail(added.error());
        }
        const QString plan = dir.filePath(QStringLiteral("%1-户型图.png").arg(l.code));
        if (!floorPlan(l.rooms, l.code).save(plan, "PNG"))
            return jx::fail(QStringLiteral("cannot write %1").arg(plan));
        if (const auto added = store.add(l.id, Kind::Document, plan); !added)
            return jx::fail(added.error());
    }
    return {};
}
