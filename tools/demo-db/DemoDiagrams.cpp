#include "DemoDiagrams.h"

#include "ZipWriter.h"

#include "components/data/Database.h"
#include "platform/AnsiCodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <cstdio>

namespace {

// Icons by name: one name, one picture, whichever diagram uses it (the
// console caches icons by name and never renews them).
struct Icon
{
    const char *name;
    bool encodedName; // stored as a GB2312 encoded word
    const char *glyph;
    QRgb colour;
};

const Icon kIcons[] = {
    {"登记.png", true, "登", 0x2e8b57},  {"query.png", false, "查", 0x1f6fb2}, {"报表.png", true, "表", 0xd2691e},
    {"明细.png", true, "细", 0xc0782a},  {"合同.png", true, "合", 0x1f4e8c},   {"佣金.png", true, "佣", 0xb22222},
    {"跟进.png", true, "跟", 0x138a8a},  {"rank.png", false, "排", 0x6a4c9c},  {"提醒.png", true, "醒", 0xd4a017},
    {"plugin.png", false, "插", 0x5f6b7a}, {"backup.png", false, "备", 0x5f6b7a}, {"房贷.png", true, "贷", 0x7b3fa0},
    {"税费.png", true, "税", 0x7b3fa0},  {"folder.png", false, "目", 0x3a8fb7}, {"经纪人.png", true, "人", 0x2f7d5b},
    {"区域.png", true, "区", 0x4b6fa8},  {"权限.png", true, "权", 0x8b3a3a},
    // Viewings and their agenda.
    {"带看.png", true, "看", 0x2a7ab0},  {"日程.png", true, "程", 0x3c8d5a},
};

struct Node
{
    const char *code;
    int column;
    int row;
    const char *icon;
};

struct Link
{
    int from; // node indexes in the diagram
    int to;
};

struct Diagram
{
    const char *directory;
    bool compressed;
    QVector<Node> nodes;
    QVector<Link> links;
};

// The order of work, directory by directory. Cells are laid out on a grid;
// links run between neighbouring cells of one row or one column.
const QVector<Diagram> &diagrams()
{
    static const QVector<Diagram> all = {
        {"01", false,
         {{"0101", 0, 0, "登记.png"}, {"0102", 1, 0, "query.png"}, {"0103", 2, 0, "报表.png"},
          {"0105", 1, 1, "登记.png"}, {"0104", 2, 1, "明细.png"}},
         {{0, 1}, {1, 2}, {3, 1}, {2, 4}}},
        {"02", true,
         {{"0201", 0, 0, "登记.png"}, {"0202", 1, 0, "query.png"}, {"0204", 2, 0, "folder.png"},
          {"0203", 2, 1, "报表.png"}},
         {{0, 1}, {1, 2}, {2, 3}}},
        {"0204", false,
         {{"020401", 0, 0, "跟进.png"}, {"020402", 1, 0, "报表.png"}, {"020403", 1, 1, "报表.png"}, {"020404", 0, 1, "query.png"},
          // A viewing, its list and the agenda beside the follow-ups its feedback becomes.
          {"020405", 2, 0, "带看.png"}, {"020406", 2, 1, "query.png"}, {"020407", 3, 0, "日程.png"}},
         {{0, 1}, {1, 2}, {0, 3}, {4, 5}, {4, 6}}},
        // A deal starts from a listing found for a customer.
        {"03", true,
         {{"0102", 0, 0, "query.png"}, {"0301", 1, 0, "合同.png"}, {"0302", 2, 0, "佣金.png"},
          {"0303", 2, 1, "报表.png"}, {"0304", 1, 1, "rank.png"}, {"0305", 0, 1, "query.png"}, {"0306", 3, 0, "query.png"},
          // The manager's overview beside the deals it counts.
          {"0307", 3, 1, "报表.png"},
          // Offers and counter-offers, before a contract.
          {"0311", 0, 2, "登记.png"}, {"0312", 1, 2, "query.png"}},
         {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {2, 6}, {3, 7}, {8, 9}}},
        {"04", false,
         {{"0401", 0, 0, "提醒.png"}, {"0402", 1, 0, "plugin.png"}, {"0403", 2, 0, "backup.png"}, {"0404", 0, 1, "经纪人.png"},
          {"0405", 1, 1, "query.png"}, {"0406", 0, 2, "区域.png"}, {"0407", 1, 2, "query.png"}, {"0408", 2, 1, "权限.png"}},
         {{1, 2}, {3, 4}, {5, 6}}},
        {"05", true, {{"0501", 0, 0, "房贷.png"}, {"0502", 1, 0, "税费.png"}}, {{0, 1}}},
    };
    return all;
}

// Grid in diagram units (57 twips each).
constexpr int kColumn = 36, kRow = 32, kLeft = 6, kTop = 4;
constexpr int kNodeWidth = 22, kNodeHeight = 18;
constexpr int kGap = 2, kThickness = 5;

QString encodedWord(const QString &text)
{
    return QStringLiteral("=?gb2312?B?") + QString::fromLatin1(jx::toAnsi(text).toBase64()) + QStringLiteral("?=");
}

// Base64 wrapped at 72 columns, one line-feed byte after each full line.
QString wrapped(const QByteArray &bytes)
{
    const QByteArray b64 = bytes.toBase64();
    QString out;
    for (qsizetype at = 0; at < b64.size(); at += 72) {
        if (at > 0)
            out += QLatin1Char('\n');
        out += QString::fromLatin1(b64.mid(at, 72));
    }
    return out;
}

QByteArray iconPicture(const Icon &icon)
{
    QImage img(40, 40, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = QColor::fromRgb(icon.colour);
    QLinearGradient g(0, 0, 0, 40);
    g.setColorAt(0, c.lighter(135));
    g.setColorAt(1, c);
    p.setBrush(g);
    p.setPen(c.darker(130));
    p.drawRoundedRect(QRectF(1.5, 1.5, 37, 37), 8, 8);
    QFont f = p.font();
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(img.rect(), Qt::AlignCenter, QString::fromUtf8(icon.glyph));
    p.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return png;
}

const Icon *findIcon(const char *name)
{
    for (const Icon &icon : kIcons) {
        if (qstrcmp(icon.name, name) == 0)
            return &icon;
    }
    return nullptr;
}

QString attr(const char *name, int value)
{
    return QStringLiteral(" %1=\"%2\"").arg(QLatin1String(name)).arg(value);
}

QString arrowElement(const Node &a, const Node &b)
{
    int left, top, width, height, direction;
    if (a.row == b.row) {
        const int x = kLeft + qMin(a.column, b.column) * kColumn + kNodeWidth + kGap;
        left = x;
        width = kColumn - kNodeWidth - 2 * kGap;
        top = kTop + a.row * kRow + kNodeHeight / 2 - kThickness / 2 - 2;
        height = kThickness;
        direction = b.column > a.column ? 0 : 1;
    } else {
        left = kLeft + a.column * kColumn + kNodeWidth / 2 - kThickness / 2;
        width = kThickness;
        top = kTop + qMin(a.row, b.row) * kRow + kNodeHeight + kGap;
        height = kRow - kNodeHeight - 2 * kGap;
        direction = b.row > a.row ? 3 : 2;
    }
    // Fore colour: the demo's blue as an OLE colour (0x00BBGGRR).
    return QStringLiteral("<arrow") + attr("left", left) + attr("top", top) + attr("width", width) + attr("height", height)
        + attr("forecolor", 0x8C4E1F) + attr("arrowdirection", direction) + attr("appearance", 1)
        + attr("backcolor", 0xFFFFFF) + attr("constantalpha", 0) + attr("borderstyle", 0) + attr("shadowlength", 2)
        + attr("shadowstep", 1) + QStringLiteral("/>\n");
}

QString pilotElement(const Node &n, const QString &caption, const Icon &icon, const QByteArray &picture)
{
    const QString name = QString::fromUtf8(icon.name);
    return QStringLiteral("<pilot caption=\"") + encodedWord(caption) + QLatin1Char('"')
        + attr("left", kLeft + n.column * kColumn) + attr("top", kTop + n.row * kRow) + attr("width", kNodeWidth)
        + attr("height", kNodeHeight) + attr("iconsize", 32) + attr("righttoleft", 0) + attr("textalign", 2)
        + QStringLiteral(">\n<menu code=\"") + QString::fromLatin1(n.code) + QStringLiteral("\"/>\n<icon filename=\"")
        + (icon.encodedName ? encodedWord(name) : name) + QStringLiteral("\">\n") + wrapped(picture)
        + QStringLiteral("\n</icon>\n</pilot>\n");
}

bool fail(const QString &why)
{
    std::fprintf(stderr, "demo diagrams: %s\n", why.toUtf8().constData());
    return false;
}

} // namespace

bool writeDemoDiagrams(Database &db)
{
    QMap<QString, QString> names;
    Recordset menu = db.Query(QStringLiteral("select menucode, menuname from xt_menu"), 1).Recordset();
    for (; !menu.Eof(); menu.MoveNext())
        names.insert(menu.Fields(QStringLiteral("menucode")).toString(), menu.Fields(QStringLiteral("menuname")).toString());

    QSet<QString> drawn;
    for (const Diagram &diagram : diagrams()) {
        const QString directory = QString::fromLatin1(diagram.directory);
        drawn.insert(directory);
        QString arrows, pilots;
        for (const Link &link : diagram.links)
            arrows += arrowElement(diagram.nodes[link.from], diagram.nodes[link.to]);
        for (const Node &node : diagram.nodes) {
            const QString code = QString::fromLatin1(node.code);
            if (!names.contains(code))
                return fail(QStringLiteral("diagram %1 names the missing entry %2").arg(directory, code));
            const Icon *icon = findIcon(node.icon);
            if (!icon)
                return fail(QStringLiteral("no icon %1").arg(QString::fromUtf8(node.icon)));
            pilots += pilotElement(node, names.value(code), *icon, iconPicture(*icon));
        }
        const QByteArray file = (QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<print>\n<page>\n<blocks>\n<arrows>\n")
                                 + arrows + QStringLiteral("</arrows>\n<pilots>\n") + pilots
                                 + QStringLiteral("</pilots>\n</blocks>\n</page>\n</print>\n"))
                                    .toLatin1();
        // Archives hold the diagram under a name of their own.
        const QString fileName = diagram.compressed ? QStringLiteral("pilot%1.xml").arg(directory) : directory + QStringLiteral(".mnu");
        const QByteArray contents = diagram.compressed ? writeZip({{fileName.toLatin1(), file}}) : file;
        if (!db.ExecuteParams(QStringLiteral("insert into xt_menuPilot (type, menuCode, filename, iscompress, contents, filesize) "
                                             "values (0, ?, ?, ?, ?, ?)"),
                              {directory, fileName, diagram.compressed ? 1 : 0, contents, file.size()}))
            return fail(db.LastError().Description());
    }

    // Every directory of the menu has its drawing.
    Recordset dirs = db.Query(QStringLiteral("select distinct parent from xt_menu where parent<>''"), 1).Recordset();
    for (; !dirs.Eof(); dirs.MoveNext()) {
        const QString directory = dirs.Fields(QStringLiteral("parent")).toString();
        if (!drawn.contains(directory))
            return fail(QStringLiteral("directory %1 has no diagram").arg(directory));
    }
    return true;
}
