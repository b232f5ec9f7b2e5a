#include "console/workspace/PilotPage.h"

#include "DemoDiagrams.h"
#include "FileModesEnforced.h"
#include "TestInstallation.h"
#include "ZipWriter.h"

#include "components/context/AppContext.h"
#include "controls/qvArrow.h"
#include "controls/qvPilot_S.h"
#include "components/data/Database.h"
#include "components/xml/XmlDocument.h"
#include "console/support/b64.h"
#include "platform/AnsiCodec.h"
#include "platform/MessageBox.h"
#include "platform/TempFiles.h"
#include "platform/com/ComPtr.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using qvcontrols::qvArrow;
using qvcontrols::qvPilot_S;

namespace {

QString word(const QString &text)
{
    return QStringLiteral("=?gb2312?B?") + QString::fromLatin1(jx::toAnsi(text).toBase64()) + QStringLiteral("?=");
}

QByteArray png(int size, QRgb colour)
{
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return out;
}

// Base64 as the product stores it: 72 columns, one line feed after each line.
QString wrapped(const QByteArray &bytes)
{
    const QByteArray b64 = bytes.toBase64();
    QStringList lines;
    for (qsizetype at = 0; at < b64.size(); at += 72)
        lines << QString::fromLatin1(b64.mid(at, 72));
    return lines.join(QLatin1Char('\n'));
}

// An arrow with every attribute; `drop` leaves one out.
QString arrowXml(int left, const QString &drop = QString())
{
    QString a = QStringLiteral("<arrow");
    const QList<std::pair<QString, QString>> attrs = {
        {"left", QString::number(left)}, {"top", "5"}, {"width", "8"}, {"height", "3"},
        {"forecolor", "255"}, {"arrowdirection", "3"}, {"appearance", "1"}, {"backcolor", "65280"},
        {"constantalpha", "128"}, {"borderstyle", "1"}, {"shadowlength", "4"}, {"shadowstep", "2"}};
    for (const auto &[name, value] : attrs) {
        if (name != drop)
            a += QStringLiteral(" %1=\"%2\"").arg(name, value);
    }
    return a + QStringLiteral("/>");
}

QString pilotXml(const QString &caption, int left, int top, const QString &code, const QString &iconName,
              const QByteArray &icon, const QString &drop = QString())
{
    QString p = QStringLiteral("<pilot caption=\"%1\" left=\"%2\" top=\"%3\" width=\"30\" height=\"20\" iconsize=\"48\" righttoleft=\"1\"")
                    .arg(caption)
                    .arg(left)
                    .arg(top);
    if (drop != QLatin1String("textalign"))
        p += QStringLiteral(" textalign=\"0\"");
    return p + QStringLiteral("><menu code=\"%1\"/><icon filename=\"%2\">%3</icon></pilot>").arg(code, iconName, wrapped(icon));
}

QString blocks(const QStringList &arrows, const QStringList &pilots)
{
    return QStringLiteral("<blocks><arrows>") + arrows.join(QString()) + QStringLiteral("</arrows><pilots>")
        + pilots.join(QString()) + QStringLiteral("</pilots></blocks>");
}

QByteArray diagramFile(const QString &blocksXml)
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?><print><other/><page><blocks-not/>") + blocksXml
            + QStringLiteral("</page></print>"))
        .toLatin1();
}

class PilotPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db->OpenDirect(QStringLiteral("sqlite"), installation.path(QStringLiteral("jx.db"))));
        ASSERT_TRUE(context->Attach(db.get()));
        context->Environment().SetTempPath(installation.folder() + QStringLiteral("\\temp\\"));
        QDir().mkpath(installation.path(QStringLiteral("systemp")));
        jx::setTempFolder(installation.path(QStringLiteral("systemp")));
        page.resize(900, 700);
        page.show();
        pilot = std::make_unique<jx::PilotPage>(*context, &page, [this](const QString &code) { opened << code; });
    }

    void TearDown() override { jx::setTempFolder(QString()); }

    void store(const QString &code, const QString &fileName, int compressed, const QByteArray &contents, qsizetype size)
    {
        ASSERT_TRUE(db->ExecuteParams(QStringLiteral("delete from xt_menuPilot where type=0 and menuCode=?"), {code}));
        ASSERT_TRUE(db->ExecuteParams(QStringLiteral("insert into xt_menuPilot (type, menuCode, filename, iscompress, contents, filesize) "
                                                     "values (0, ?, ?, ?, ?, ?)"),
                                      {code, fileName, compressed, contents, size}))
            << db->LastError().Description().toStdString();
    }
    void storePlain(const QString &code, const QByteArray &file) { store(code, code + ".mnu", 0, file, file.size()); }

    template<typename T>
    QList<T *> built()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QList<T *> out;
        for (T *w : page.findChildren<T *>()) {
            if (w->Index() > 0)
                out << w;
        }
        std::sort(out.begin(), out.end(), [](T *a, T *b) { return a->Index() < b->Index(); });
        return out;
    }
    QList<qvPilot_S *> nodes() { return built<qvPilot_S>(); }
    QList<qvArrow *> arrows() { return built<qvArrow>(); }

    QString temp(const QString &relative) const { return installation.path(QStringLiteral("temp/") + relative); }
    QStringList filesBelow(const QString &folder) const
    {
        QStringList out;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir(folder).relativeFilePath(it.next());
        out.sort();
        return out;
    }

    jxtest::TestInstallation installation;
    com::ComPtr<Database> db = com::ComPtr<Database>::adopt(new Database());
    com::ComPtr<AppContext> context = com::ComPtr<AppContext>::adopt(new AppContext());
    QWidget page;
    QStringList opened;
    jx::ScopedMessageBoxRecorder boxes;
    std::unique_ptr<jx::PilotPage> pilot;
};

TEST_F(PilotPageTest, PlacesEveryArrowAndNodeAndANodeClickOpensItsCode)
{
    const QByteArray red = png(8, 0xff0000);
    // The third arrow has no "left": the list ends there, the fourth is never read.
    const QString xml = blocks({arrowXml(2), arrowXml(4), arrowXml(6, "left"), arrowXml(8)},
                               {pilotXml(word("房源登记"), 10, 20, "0101", word("房源.png"), red),
                                pilotXml("Query", 50, 20, "01'02", "query.png", red)});
    storePlain("01", diagramFile(xml));

    ASSERT_TRUE(pilot->LoadPilot("01"));
    EXPECT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();

    const auto a = arrows();
    ASSERT_EQ(a.size(), 2);
    EXPECT_EQ(a[0]->Index(), 1);
    EXPECT_EQ(a[1]->TwipsGeometry::Left(), 57 * 4 + 1000);
    EXPECT_EQ(a[0]->TwipsGeometry::Left(), 57 * 2 + 1000);
    EXPECT_EQ(a[0]->TwipsGeometry::Top(), 57 * 5 + 1500);
    EXPECT_EQ(a[0]->TwipsGeometry::Width(), 57 * 8);
    EXPECT_EQ(a[0]->TwipsGeometry::Height(), 57 * 3);
    EXPECT_TRUE(a[0]->isVisible());
    EXPECT_EQ(a[0]->ForeColor(), 255);
    EXPECT_EQ(a[0]->ArrowDirection(), qvArrow::Down);
    EXPECT_EQ(a[0]->Appearance(), 1);
    EXPECT_EQ(a[0]->BackColor(), 65280);
    EXPECT_EQ(a[0]->ConstantAlpha(), 128);
    EXPECT_EQ(a[0]->BorderStyle(), 1);
    EXPECT_EQ(a[0]->ShadowLength(), 4);
    EXPECT_EQ(a[0]->ShadowStep(), 2);

    const auto n = nodes();
    ASSERT_EQ(n.size(), 2);
    EXPECT_EQ(n[0]->Left(), 1570);
    EXPECT_EQ(n[0]->Top(), 2640);
    EXPECT_EQ(n[0]->Width(), 1710);
    EXPECT_EQ(n[0]->Height(), 1140);
    EXPECT_EQ(n[0]->Caption(), QStringLiteral("房源登记"));
    EXPECT_EQ(n[0]->accessibleName(), QStringLiteral("房源登记"));
    EXPECT_EQ(n[1]->Caption(), QStringLiteral("Query"));
    EXPECT_EQ(n[0]->IconSize(), 48);
    EXPECT_TRUE(n[0]->RightToLeft());
    EXPECT_EQ(n[0]->TextAlign(), 0);
    EXPECT_EQ(n[0]->Tag(), QStringLiteral("0101"));
    EXPECT_TRUE(n[0]->isVisible());
    EXPECT_EQ(n[0]->Picture().size(), QSize(8, 8));
    EXPECT_EQ(n[0]->Picture().toImage().pixel(3, 3), qRgb(255, 0, 0));
    // The encoded icon name is decoded before it names the cached file.
    EXPECT_EQ(filesBelow(temp("images")), QStringList({"query.png", "房源.png"}));

    QTest::mouseClick(n[1], Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{"01'02"});

    // The next directory clears the page first; one without a diagram stays empty.
    EXPECT_FALSE(pilot->LoadPilot("02"));
    EXPECT_TRUE(nodes().isEmpty());
    EXPECT_TRUE(arrows().isEmpty());
    EXPECT_EQ(boxes.count(), 0);
}

// A diagram held in a text column arrives decoded; its cached copy must be
// the GB text its declaration names, or every caption is garbage.
TEST_F(PilotPageTest, ADiagramStoredAsTextShowsItsChineseCaptions)
{
    const QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?><print><page>")
        + blocks({}, {QStringLiteral("<pilot caption=\"房源登记\" left=\"1\" top=\"1\" width=\"20\" height=\"10\" textalign=\"0\">"
                                     "<menu code=\"0101\"/></pilot>")})
        + QStringLiteral("</page></print>");
    store("01", "01.mnu", 0, QByteArray(), 0);
    ASSERT_TRUE(db->ExecuteParams(QStringLiteral("update xt_menuPilot set contents=?, filesize=? where type=0 and menuCode='01'"),
                                  {xml, jx::toAnsi(xml).size()}));
    ASSERT_EQ(db->Query(QStringLiteral("select typeof(contents) from xt_menuPilot where menuCode='01'"), 1).Value().toString(),
              QStringLiteral("text"));

    ASSERT_TRUE(pilot->LoadPilot("01"));
    EXPECT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();
    ASSERT_EQ(nodes().size(), 1);
    EXPECT_EQ(nodes()[0]->Caption(), QStringLiteral("房源登记"));
    EXPECT_EQ(QFileInfo(temp("menu/01.mnu")).size(), jx::toAnsi(xml).size());
}

TEST_F(PilotPageTest, CacheIsRenewedBySizeOnlyAndIconsAreSharedAndNeverRenewed)
{
    const QByteArray red = png(8, 0xff0000), blue = png(16, 0x0000ff);
    auto file = [&](const QString &caption) { return diagramFile(blocks({}, {pilotXml(word(caption), 1, 1, "x", "shared.png", red)})); };
    // A code holding a quote still finds its row.
    storePlain("0'9", file("甲乙"));
    ASSERT_TRUE(pilot->LoadPilot("0'9"));
    ASSERT_EQ(nodes().size(), 1);
    EXPECT_EQ(nodes()[0]->Caption(), QStringLiteral("甲乙"));
    EXPECT_TRUE(QFileInfo::exists(temp("menu/0'9.mnu")));

    // Changed in the database, same length: the cached copy stays.
    ASSERT_EQ(file("丙丁").size(), file("甲乙").size());
    storePlain("0'9", file("丙丁"));
    ASSERT_TRUE(pilot->LoadPilot("0'9"));
    EXPECT_EQ(nodes()[0]->Caption(), QStringLiteral("甲乙"));

    // Another length: renewed.
    storePlain("0'9", file("戊"));
    ASSERT_TRUE(pilot->LoadPilot("0'9"));
    ASSERT_EQ(nodes().size(), 1);
    EXPECT_EQ(nodes()[0]->Caption(), QStringLiteral("戊"));

    // A second diagram naming the same icon uses the cached one, whatever it embeds.
    storePlain("02", diagramFile(blocks({}, {pilotXml("B", 1, 1, "y", word("shared.png"), blue)})));
    ASSERT_TRUE(pilot->LoadPilot("02"));
    ASSERT_EQ(nodes().size(), 1);
    EXPECT_EQ(nodes()[0]->Picture().size(), QSize(8, 8));
    EXPECT_EQ(filesBelow(temp("images")), QStringList{"shared.png"});
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(PilotPageTest, CompressedDiagramsAreUnpackedUnderTheirEntryNameAndBadFilesSayWhy)
{
    const QByteArray file = diagramFile(blocks({arrowXml(1)}, {pilotXml("A", 1, 1, "0301", "a.png", png(4, 0x00ff00))}));
    store("03", "pilot03.xml", 1, writeZip({{"readme.txt", "extra"}, {"pilot03.xml", file}}), file.size());
    ASSERT_TRUE(pilot->LoadPilot("03"));
    EXPECT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();
    EXPECT_EQ(nodes().size(), 1);
    EXPECT_EQ(arrows().size(), 1);
    EXPECT_EQ(filesBelow(temp("menu")), QStringList{"03.mnu"});

    // The archive's entry is named differently from the row's file name.
    store("04", "pilot04.xml", 1, writeZip({{"other.xml", file}}), file.size());
    EXPECT_FALSE(pilot->LoadPilot("04"));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("加载导航窗口文件，原因："))) << boxes.last().text.toStdString();
    EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("pilot04.xml")));
    EXPECT_EQ(boxes.last().style, jx::Critical);
    EXPECT_EQ(boxes.last().title, QStringLiteral("错误"));
    EXPECT_TRUE(nodes().isEmpty());
    EXPECT_EQ(filesBelow(temp("menu")), QStringList{"03.mnu"});

    // A broken archive gives the same message with the archive's reason.
    store("05", "pilot05.xml", 1, QByteArray("PK\x03\x04 not really"), file.size());
    EXPECT_FALSE(pilot->LoadPilot("05"));
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("加载导航窗口文件，原因：")));
    EXPECT_GT(boxes.last().text.size(), QStringLiteral("加载导航窗口文件，原因：").size());

    // Not XML at all.
    storePlain("06", "<print><page>");
    EXPECT_FALSE(pilot->LoadPilot("06"));
    ASSERT_EQ(boxes.count(), 3);
    EXPECT_EQ(boxes.last().text, QStringLiteral("读取导航窗口文件时格式错误！"));
    EXPECT_EQ(boxes.last().style, jx::Critical);
    EXPECT_EQ(boxes.last().title, QStringLiteral("错误"));

    EXPECT_EQ(filesBelow(temp("menu")), QStringList({"03.mnu", "06.mnu"}));
    // The archives went through temporary files, all removed again.
    EXPECT_TRUE(filesBelow(installation.path("systemp")).isEmpty());
}

// What an archive holds besides the diagram is removed, and nothing else:
// not the fresh copy when an entry bears its name, not another diagram's copy.
TEST_F(PilotPageTest, AnArchiveLeavesOnlyTheCachedCopyAndTouchesNoOtherDiagram)
{
    const QByteArray icon = png(4, 0x00ff00);
    const QByteArray other = diagramFile(blocks({}, {pilotXml("Other", 1, 1, "0801", "o.png", icon)}));
    storePlain("08", other);
    ASSERT_TRUE(pilot->LoadPilot("08"));

    const QByteArray file = diagramFile(blocks({}, {pilotXml("Fresh", 1, 1, "0701", "f.png", icon), pilotXml("Two", 2, 1, "0702", "f.png", icon)}));
    store("07", "pilot07.xml", 1,
          writeZip({{"07.mnu", "stale"}, {"readme.txt", "extra"}, {"08.mnu", "not 08"}, {"sub/notes.txt", "x"}, {"pilot07.xml", file}}),
          file.size());
    ASSERT_TRUE(pilot->LoadPilot("07"));
    EXPECT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();
    ASSERT_EQ(nodes().size(), 2);
    EXPECT_EQ(nodes()[0]->Caption(), QStringLiteral("Fresh"));
    EXPECT_EQ(filesBelow(temp("menu")), QStringList({"07.mnu", "08.mnu"}));
    QFile cached(temp("menu/07.mnu")), kept(temp("menu/08.mnu"));
    ASSERT_TRUE(cached.open(QIODevice::ReadOnly));
    EXPECT_EQ(cached.readAll(), file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), other);
    EXPECT_EQ(QDir(temp("menu")).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());

    // The row names the cached copy itself: still only that copy stays.
    store("09", "09.mnu", 1, writeZip({{"readme.txt", "extra"}, {"09.mnu", file}}), file.size());
    ASSERT_TRUE(pilot->LoadPilot("09"));
    EXPECT_EQ(nodes().size(), 2);
    EXPECT_EQ(filesBelow(temp("menu")), QStringList({"07.mnu", "08.mnu", "09.mnu"}));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(PilotPageTest, AMissingRequiredAttributeStopsTheBuildAndKeepsWhatWasBuilt)
{
    const QByteArray icon = png(4, 0x00ff00);
    // An arrow without borderstyle: the first arrow stays, no node is built.
    pilot->BuildPilot(blocks({arrowXml(1), arrowXml(3, "borderstyle")}, {pilotXml("A", 1, 1, "a", "a.png", icon)}));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("读取文件过程中出错误，原因：无效使用 Null"));
    EXPECT_EQ(boxes.last().style, jx::Exclamation);
    EXPECT_EQ(boxes.last().title, QStringLiteral("错误："));
    auto a = arrows();
    ASSERT_EQ(a.size(), 2);
    EXPECT_TRUE(a[0]->isVisible());
    EXPECT_FALSE(a[1]->isVisible());
    EXPECT_TRUE(nodes().isEmpty());

    // A node without textalign: the nodes before it stay, the ones after are not read.
    pilot->ClearDynamicControls();
    pilot->BuildPilot(blocks({}, {pilotXml("A", 1, 1, "a", "a.png", icon), pilotXml("B", 2, 1, "b", "a.png", icon, "textalign"),
                                  pilotXml("C", 3, 1, "c", "a.png", icon)}));
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("读取文件过程中出错误，原因：")));
    auto n = nodes();
    ASSERT_EQ(n.size(), 2);
    EXPECT_TRUE(n[0]->isVisible());
    EXPECT_EQ(n[1]->Caption(), QStringLiteral("B"));
    EXPECT_FALSE(n[1]->isVisible());

    // An encoded word shorter than its marker, and markup that is not XML (silently nothing).
    pilot->ClearDynamicControls();
    pilot->BuildPilot(blocks({}, {pilotXml("A", 1, 1, "a", "a.png", icon), pilotXml("=?gb2312?B?", 2, 1, "b", "a.png", icon)}));
    ASSERT_EQ(boxes.count(), 3);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("读取文件过程中出错误，原因：")));
    EXPECT_EQ(nodes().size(), 2);
    pilot->ClearDynamicControls();
    pilot->BuildPilot(QStringLiteral("<blocks><pilots>"));
    EXPECT_EQ(boxes.count(), 3);
    EXPECT_TRUE(nodes().isEmpty());
}

// Two groups of each, the second longer: position 2 onwards comes from the
// second group, as "/blocks/pilots/pilot[2]" selects it.
TEST_F(PilotPageTest, NodesAndArrowsReadInOnePassEqualTheirPositionalReading)
{
    const QList<QRgb> colours = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00, 0x00ffff};
    QStringList first, second;
    for (int k = 0; k < 5; ++k) {
        const QString node = pilotXml(word(QStringLiteral("节点%1").arg(k)), 10 * k, 3 + k, QStringLiteral("07%1").arg(k),
                                      word(QStringLiteral("图%1.png").arg(k)), png(4 + k, colours[k]));
        (k < 2 ? first : second) << node;
    }
    const QString xml = QStringLiteral("<blocks><arrows>") + arrowXml(1) + QStringLiteral("</arrows><pilots>") + first.join(QString())
        + QStringLiteral("</pilots><arrows>") + arrowXml(2) + arrowXml(3) + QStringLiteral("</arrows><pilots>")
        + second.join(QString()) + QStringLiteral("</pilots></blocks>");
    pilot->BuildPilot(xml);
    EXPECT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();

    XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(xml));
    const auto attr = [&](const QString &path, const QString &name) { return doc.GetAttribute(path, name).toString(); };
    int positions = 0;
    while (!doc.GetAttribute(QStringLiteral("/blocks/pilots/pilot[%1]").arg(positions), "caption").isNull())
        ++positions;
    const auto n = nodes();
    ASSERT_EQ(positions, 3);
    ASSERT_EQ(n.size(), positions);
    for (int j = 0; j < n.size(); ++j) {
        const QString path = QStringLiteral("/blocks/pilots/pilot[%1]").arg(j);
        SCOPED_TRACE(j);
        EXPECT_EQ(n[j]->Caption(), jx::b64::DecodeEncodedWord(attr(path, "caption")));
        EXPECT_EQ(n[j]->Left(), 57 * attr(path, "left").toInt() + 1000);
        EXPECT_EQ(n[j]->Top(), 57 * attr(path, "top").toInt() + 1500);
        EXPECT_EQ(n[j]->Width(), 57 * attr(path, "width").toInt());
        EXPECT_EQ(n[j]->Height(), 57 * attr(path, "height").toInt());
        EXPECT_EQ(n[j]->IconSize(), attr(path, "iconsize").toInt());
        EXPECT_EQ(n[j]->TextAlign(), attr(path, "textalign").toInt());
        EXPECT_EQ(n[j]->Tag(), attr(path + "/menu", "code"));
        const QString icon = jx::b64::DecodeEncodedWord(attr(path + "/icon", "filename"));
        EXPECT_EQ(QFileInfo(temp("images/" + icon)).size(), QByteArray::fromBase64(doc.GetValue(path + "/icon").toString().toLatin1()).size());
        const int k = icon.mid(1, 1).toInt();
        EXPECT_EQ(n[j]->Picture().size(), QSize(4 + k, 4 + k));
        EXPECT_EQ(n[j]->Picture().toImage().pixel(1, 1), 0xff000000 | colours[k]);
    }
    EXPECT_EQ(n[2]->Tag(), QStringLiteral("074"));
    const auto a = arrows();
    ASSERT_EQ(a.size(), 2);
    for (int i = 0; i < a.size(); ++i)
        EXPECT_EQ(a[i]->TwipsGeometry::Left(), 57 * attr(QStringLiteral("/blocks/arrows/arrow[%1]").arg(i), "left").toInt() + 1000);
    EXPECT_EQ(a[1]->TwipsGeometry::Left(), 57 * 3 + 1000);
}

TEST_F(PilotPageTest, ALargeDiagramIsBuiltUpToTheLimitWithOneNotice)
{
    constexpr int kArrows = 10;
    constexpr int kLimit = jx::PilotPage::kMaxElements;
    QStringList arrowList, nodeList;
    for (int i = 0; i < kArrows; ++i)
        arrowList << arrowXml(i);
    const auto node = [](int j) {
        return QStringLiteral("<pilot caption=\"N%1\" left=\"%2\" top=\"1\" width=\"2\" height=\"2\" textalign=\"0\"><menu code=\"%1\"/></pilot>")
            .arg(j)
            .arg(j % 100);
    };
    for (int j = 0; j < kLimit - kArrows; ++j)
        nodeList << node(j);

    // Exactly at the limit: everything, silently.
    pilot->BuildPilot(blocks(arrowList, nodeList));
    EXPECT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();
    EXPECT_EQ(arrows().size(), kArrows);
    EXPECT_EQ(nodes().size(), kLimit - kArrows);

    // Beyond it: the first ones in the page's order, and one notice counting all.
    pilot->ClearDynamicControls();
    for (int j = kLimit - kArrows; j < kLimit + 5; ++j)
        nodeList << node(j);
    pilot->BuildPilot(blocks(arrowList, nodeList));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("导航图的节点太多（共 %1 个），只显示前 %2 个").arg(kLimit + 5 + kArrows).arg(kLimit));
    EXPECT_EQ(boxes.last().style, jx::Exclamation);
    EXPECT_EQ(boxes.last().title, QStringLiteral("提示："));
    EXPECT_EQ(arrows().size(), kArrows);
    const auto n = nodes();
    ASSERT_EQ(n.size(), kLimit - kArrows);
    EXPECT_EQ(n.first()->Tag(), QStringLiteral("0"));
    EXPECT_EQ(n.last()->Tag(), QString::number(kLimit - kArrows - 1));
    EXPECT_EQ(n.last()->Index(), kLimit - kArrows);
    EXPECT_TRUE(n.last()->isVisible());
}

TEST_F(PilotPageTest, NamesFromTheDatabaseOrTheDiagramNeverLeaveTheirCacheFolder)
{
    const QByteArray icon = png(4, 0x00ff00);
    // Icons: a name is cut at "\" only; whatever still holds a separator gets no file.
    storePlain("01", diagramFile(blocks({}, {pilotXml("A", 1, 1, "a", word("../../evil.png"), icon),
                                             pilotXml("B", 2, 1, "b", word(".."), icon),
                                             pilotXml("C", 3, 1, "c", "sub/evil.png", icon),
                                             pilotXml("D", 4, 1, "d", word("..\\..\\fine.png"), icon),
                                             pilotXml("E", 5, 1, "e", "", icon),
                                             pilotXml("F", 6, 1, "f", "bad.png", "!!!! not base64 ~~~")})));
    ASSERT_TRUE(pilot->LoadPilot("01"));
    EXPECT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();
    const auto n = nodes();
    ASSERT_EQ(n.size(), 6);
    for (int i : {0, 1, 2, 4, 5}) {
        EXPECT_TRUE(n[i]->isVisible());
        EXPECT_TRUE(n[i]->Picture().isNull()) << i;
    }
    EXPECT_FALSE(n[3]->Picture().isNull());
    EXPECT_EQ(filesBelow(temp("images")), QStringList({"bad.png", "fine.png"}));

    // A row's archive file name with a separator is not used; nor is a code that holds one.
    const QByteArray file = diagramFile(blocks({}, {pilotXml("A", 1, 1, "a", "a.png", icon)}));
    store("02", "../escaped.xml", 1, writeZip({{"escaped.xml", file}}), file.size());
    EXPECT_FALSE(pilot->LoadPilot("02"));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("加载导航窗口文件，原因：")));
    EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("../escaped.xml")));
    storePlain("../x", file);
    EXPECT_FALSE(pilot->LoadPilot("../x"));
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("加载导航窗口文件，原因：")));

    EXPECT_EQ(filesBelow(installation.path("temp")), QStringList({"images/bad.png", "images/fine.png", "menu/01.mnu"}));
    EXPECT_FALSE(QFileInfo::exists(installation.path("evil.png")));
    EXPECT_FALSE(QFileInfo::exists(installation.path("escaped.xml")));
    EXPECT_FALSE(QFileInfo::exists(installation.path("x.mnu")));

    // No temporary folder set: refused rather than cached below the root.
    context->Environment().SetTempPath(QString());
    EXPECT_FALSE(pilot->LoadPilot("01"));
    ASSERT_EQ(boxes.count(), 3);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("加载导航窗口文件，原因：")));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/menu")));
}

TEST_F(PilotPageTest, EveryDemoDirectoryShowsItsEntriesWithReadableCaptionsAndIcons)
{
    ASSERT_TRUE(writeDemoDiagrams(*db));
    Recordset dirs = db->Query("select distinct parent from xt_menu where parent<>'' order by parent", 1).Recordset();
    int directories = 0, shown = 0;
    for (; !dirs.Eof(); dirs.MoveNext(), ++directories) {
        const QString code = dirs.Fields("parent").toString();
        ASSERT_TRUE(pilot->LoadPilot(code)) << code.toStdString();
        EXPECT_EQ(boxes.count(), 0) << code.toStdString() << boxes.last().text.toStdString();
        EXPECT_FALSE(arrows().isEmpty()) << code.toStdString();
        for (qvPilot_S *node : nodes()) {
            ++shown;
            const QString name = db->Query("select menuname from xt_menu where menucode='" + node->Tag() + "'", 1).Value().toString();
            EXPECT_FALSE(name.isEmpty()) << node->Tag().toStdString();
            EXPECT_EQ(node->Caption(), name);
            EXPECT_FALSE(node->Picture().isNull()) << node->Tag().toStdString();
            EXPECT_TRUE(node->isVisible());
        }
    }
    EXPECT_EQ(directories, 6);
    // Icons are shared by name between the diagrams.
    const QStringList icons = filesBelow(temp("images"));
    EXPECT_LT(icons.size(), shown);
    EXPECT_TRUE(icons.contains(QStringLiteral("登记.png")));
    EXPECT_EQ(db->Query("select count(*) from xt_menuPilot where type=0 and iscompress=1", 1).Value().toInt(), 3);

    // The system diagram holds the plug-in manager, the tools diagram the loan calculator.
    ASSERT_TRUE(pilot->LoadPilot("04"));
    QStringList tags;
    for (qvPilot_S *node : nodes())
        tags << node->Tag();
    EXPECT_TRUE(tags.contains("0402"));
    ASSERT_TRUE(pilot->LoadPilot("05"));
    const auto tools = nodes();
    ASSERT_FALSE(tools.isEmpty());
    EXPECT_EQ(tools[0]->Caption(), QStringLiteral("房贷计算器"));
    QTest::mouseClick(tools[0], Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{"0501"});
}

// A temporary folder the operator may not write: a diagram seen before still
// shows from its cached copy; a new one says why it cannot be shown, and no
// half-written copy is left for the next start.
TEST_F(PilotPageTest, UnwritableTemporaryFolderKeepsCachedDiagramsAndExplainsNewOnes)
{
    const QByteArray icon = png(8, 0x00ff00);
    storePlain("01", diagramFile(blocks({arrowXml(2)}, {pilotXml("A", 1, 1, "a", "a.png", icon)})));
    ASSERT_TRUE(pilot->LoadPilot("01"));
    const QByteArray file = diagramFile(blocks({}, {pilotXml("B", 1, 1, "b", "b.png", icon)}));
    store("02", "02.xml", 1, writeZip({{"02.xml", file}}), file.size());

    const auto open = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    for (const QString &folder : {installation.folder(), temp(""), temp("menu"), temp("images"), installation.path("systemp")})
        ASSERT_TRUE(QFile::setPermissions(folder, open)) << folder.toStdString();
    for (const QString &cached : {temp("menu/01.mnu"), temp("images/a.png")})
        ASSERT_TRUE(QFile::setPermissions(cached, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    {
        FileModesEnforced enforced;
        ASSERT_TRUE(enforced.active());
        ASSERT_TRUE(pilot->LoadPilot("01"));
        EXPECT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();
        ASSERT_EQ(nodes().size(), 1);
        EXPECT_FALSE(nodes()[0]->Picture().isNull());

        EXPECT_FALSE(pilot->LoadPilot("02"));
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("加载导航窗口文件，原因：")));
        EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("无法"))) << boxes.last().text.toStdString();
        EXPECT_TRUE(nodes().isEmpty());
    }
    for (const QString &folder : {installation.folder(), temp(""), temp("menu"), temp("images"), installation.path("systemp")})
        QFile::setPermissions(folder, open | QFile::WriteOwner);
    EXPECT_EQ(filesBelow(installation.path("temp")), QStringList({"images/a.png", "menu/01.mnu"}));
    EXPECT_TRUE(filesBelow(installation.path("systemp")).isEmpty());
    // Writable again: the new diagram is fetched and shown.
    ASSERT_TRUE(pilot->LoadPilot("02"));
    EXPECT_EQ(nodes().size(), 1);
}

} // namespace
