#include "components/xml/XmlDocument.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
const char *kItems = "<root><item id='a' n='1'>first</item><item id='b'>second<sub>!</sub></item>"
                     "<item id='c'>third</item><empty/></root>";

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}
} // namespace

TEST(XmlDocumentPath, RewritesNumericPredicatesOnly)
{
    EXPECT_EQ(XmlDocument::translatePath("/a/b[0]"), "/a/b[1]");
    EXPECT_EQ(XmlDocument::translatePath("/a/b[ 2 ]/c[0]/@x"), "/a/b[3]/c[1]/@x");
    EXPECT_EQ(XmlDocument::translatePath("/a/b[@id='5']"), "/a/b[@id='5']");
    EXPECT_EQ(XmlDocument::translatePath("/a/b[@t='[3]']"), "/a/b[@t='[3]']");
    EXPECT_EQ(XmlDocument::translatePath("/a/b[last()]"), "/a/b[last()]");
    EXPECT_EQ(XmlDocument::translatePath("//language/system/caption"), "//language/system/caption");
}

TEST(XmlDocument, PositionsCountFromZero)
{
    XmlDocument doc;
    int flags = 99;
    doc.Initialize(flags);
    ASSERT_TRUE(doc.LoadXml(kItems));
    EXPECT_EQ(doc.Count("/root/item"), 3);
    EXPECT_EQ(doc.GetValue("/root/item[0]").toString(), "first");
    EXPECT_EQ(doc.GetValue("/root/item[2]").toString(), "third");
    EXPECT_TRUE(doc.GetValue("/root/item[3]").isNull());
    EXPECT_EQ(doc.GetAttribute("/root/item[1]", "id").toString(), "b");
    EXPECT_EQ(doc.GetValue("/root/item[@id='c']").toString(), "third");
    EXPECT_EQ(doc.GetValue("//item[1]").toString(), "second!");
}

TEST(XmlDocument, MissingNodesAndAttributesAreNull)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(kItems));
    EXPECT_TRUE(doc.GetValue("/root/nothing").isNull());
    EXPECT_TRUE(doc.GetAttribute("/root/item[0]", "missing").isNull());
    EXPECT_TRUE(doc.GetAttribute("/root/nothing", "id").isNull());
    // An empty element is there: "" but not Null.
    const QVariant empty = doc.GetValue("/root/empty");
    EXPECT_FALSE(empty.isNull());
    EXPECT_EQ(empty.toString(), "");
    EXPECT_EQ(doc.Count("/root/nothing"), 0);
    EXPECT_EQ(doc.GetXml("/root/nothing"), "");
}

TEST(XmlDocument, InvalidExpressionGivesNothingWithoutCrash)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(kItems));
    EXPECT_EQ(doc.Count("/root/item[[["), 0);
    EXPECT_TRUE(doc.GetValue("///").isNull());
    EXPECT_FALSE(doc.lastError().isEmpty());
}

TEST(XmlDocument, GetXmlFragmentLoadsAgain)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(kItems));
    const QString xml = doc.GetXml("/root/item[1]");
    EXPECT_TRUE(xml.startsWith("<item id=\"b\">")) << xml.toStdString();
    XmlDocument part;
    ASSERT_TRUE(part.LoadXml(xml));
    EXPECT_EQ(part.GetValue("/item/sub").toString(), "!");
}

TEST(XmlDocument, LoadFailuresReturnFalseWithReason)
{
    QTemporaryDir dir;
    XmlDocument doc;
    EXPECT_FALSE(doc.Load(dir.filePath("absent.xml")));
    EXPECT_TRUE(doc.lastError().contains("absent.xml"));
    EXPECT_FALSE(doc.Load(writeFile(dir, "bad.xml", "<a><b></a>")));
    EXPECT_FALSE(doc.lastError().isEmpty());
    EXPECT_TRUE(doc.GetValue("/a").isNull()); // nothing half-loaded is left behind
    EXPECT_FALSE(doc.Load(writeFile(dir, "empty.xml", "")));
    EXPECT_FALSE(doc.LoadXml("not xml at all"));
    EXPECT_FALSE(doc.LoadXml(""));
}

TEST(XmlDocument, ReadsGb2312AndUtf16Files)
{
    QTemporaryDir dir;
    // "房源管理" in GB2312.
    const QByteArray gb = QByteArray("<?xml version=\"1.0\" encoding=\"GB2312\"?><c><caption>")
        + QByteArray::fromHex("b7bfd4b4b9dcc0ed") + "</caption></c>";
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(writeFile(dir, "gb.xml", gb))) << doc.lastError().toStdString();
    EXPECT_EQ(doc.GetValue("/c/caption").toString(), QStringLiteral("房源管理"));

    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><c a=\"税费\">计算</c>");
    QByteArray utf16("\xff\xfe", 2);
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    ASSERT_TRUE(doc.Load(writeFile(dir, "u16.xml", utf16))) << doc.lastError().toStdString();
    EXPECT_EQ(doc.GetValue("/c").toString(), QStringLiteral("计算"));
    EXPECT_EQ(doc.GetAttribute("/c", "a").toString(), QStringLiteral("税费"));

    ASSERT_TRUE(doc.Load(writeFile(dir, "u8.xml", QStringLiteral("<c>中文</c>").toUtf8())));
    EXPECT_EQ(doc.GetValue("/c").toString(), QStringLiteral("中文"));
}

TEST(XmlDocument, BrokenGbBytesAreRefused)
{
    QTemporaryDir dir;
    const QByteArray gb = QByteArray("<?xml version=\"1.0\" encoding=\"GBK\"?><c>") + QByteArray::fromHex("b7ff81") + "</c>";
    XmlDocument doc;
    EXPECT_FALSE(doc.Load(writeFile(dir, "badgb.xml", gb)));
    EXPECT_FALSE(doc.lastError().isEmpty());
}
