#include "components/log/LogSink.h"
#include "components/log/LogWriter.h"
#include "components/log/OperatorNotice.h"
#include "components/log/TextEncoder.h"
#include "components/xml/XmlDocument.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
struct Notice
{
    OperatorNotice::Icon icon;
    QString title, text;
};

// Captures notices instead of showing boxes, and restores the writer afterwards.
class LogFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Entries a blocked folder cannot take go to the user's data folder: a private one here.
        oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
        previous = OperatorNotice::setHandler([this](OperatorNotice::Icon i, const QString &t, const QString &m) {
            notices.push_back({i, t, m});
        });
    }
    void TearDown() override
    {
        OperatorNotice::setHandler(previous);
        LogWriter::instance().detachSink();
        LogWriter::instance().setShowNotices(true);
        if (oldDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldDataHome);
    }
    QString config(const QString &logElement)
    {
        const QString path = dir.filePath("JxMain1.exe.Config");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(("<configuration>" + logElement + "</configuration>").toUtf8());
        return path;
    }
    static QString readAll(const QString &path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }
    static LogEntry entry(int kind, const QString &source, const QString &message)
    {
        LogEntry e;
        e.SetSource(source);
        e.SetKind(kind);
        e.SetMessage(message);
        return e;
    }
    QTemporaryDir dir;
    std::vector<Notice> notices;
    OperatorNotice::Handler previous;
    QByteArray oldDataHome;
};
} // namespace

TEST(TextEncoder, EscapesSoRecordsStayWellFormed)
{
    TextEncoder enc;
    EXPECT_EQ(enc.Encode("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&apos;");
    EXPECT_EQ(enc.Encode(QStringLiteral("正在注销用户并退出系统！")), QStringLiteral("正在注销用户并退出系统！"));
    const QString nasty = QStringLiteral("</message><x>&amp; \x01 \t 中");
    const QString record = "<log><progid>0</progid><user>u</user><message>" + enc.Encode(nasty) + "</message></log>";
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(record)) << doc.lastError().toStdString();
    EXPECT_EQ(doc.GetValue("/log/message").toString(), QStringLiteral("</message><x>&amp;  \t 中"));
}

TEST_F(LogFixture, WritesDatedFileInConfiguredFolder)
{
    LogWriter &w = LogWriter::instance();
    LogSink sink;
    ASSERT_TRUE(w.LoadConfig(config("<log folder=\"logs\\here\"/>")));
    w.Init(nullptr, &sink);
    EXPECT_EQ(QDir(w.folder()), QDir(dir.filePath("logs/here")));
    EXPECT_TRUE(w.Write(entry(1, QStringLiteral("简衡软件"), QStringLiteral("系统正常启动,登录操作")), 0).toBool());
    EXPECT_TRUE(w.Write(entry(48, "src", "line1\nline2"), 0).toBool());
    const QString file = w.fileFor(QDate::currentDate());
    EXPECT_TRUE(file.endsWith(QDate::currentDate().toString("yyyy-MM-dd") + ".log"));
    const QStringList lines = readAll(file).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\t1\t简衡软件\t系统正常启动,登录操作")));
    EXPECT_TRUE(lines[1].endsWith("\t48\tsrc\tline1\\nline2"));
    EXPECT_TRUE(notices.empty()); // progress notes and records are not shown
    ASSERT_EQ(sink.entries().size(), 2);
    EXPECT_EQ(sink.entries().at(1).kind(), 48);
}

TEST_F(LogFixture, DefaultFolderIsProgramFolderLog)
{
    LogWriter &w = LogWriter::instance();
    ASSERT_TRUE(w.LoadConfig(config("")));
    EXPECT_EQ(QDir(w.folder()), QDir(dir.filePath("log")));
    EXPECT_FALSE(w.LoadConfig(dir.filePath("missing.Config")));
    EXPECT_EQ(QDir(w.folder()), QDir(dir.filePath("log"))); // defaults stay in force
}

TEST_F(LogFixture, NoticesShownWithMatchingIconAndSourceAsTitle)
{
    LogWriter &w = LogWriter::instance();
    ASSERT_TRUE(w.LoadConfig(config("")));
    w.Write(entry(2, QStringLiteral("提示："), QStringLiteral("没有运行权限，请检查后再试")), 0);
    w.Write(entry(4, QStringLiteral("简衡软件"), QStringLiteral("用户名不能为空，请重试!")), 0);
    w.Write(entry(8, "err", "boom"), 0);
    w.Write(entry(16, "other", "not shown"), 0);
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[0].icon, OperatorNotice::Icon::Information);
    EXPECT_EQ(notices[0].title, QStringLiteral("提示："));
    EXPECT_EQ(notices[0].text, QStringLiteral("没有运行权限，请检查后再试"));
    EXPECT_EQ(notices[1].icon, OperatorNotice::Icon::Exclamation);
    EXPECT_EQ(notices[2].icon, OperatorNotice::Icon::Critical);
    EXPECT_EQ(notices[2].title, "err");

    notices.clear();
    ASSERT_TRUE(w.LoadConfig(config("<log show=\"0\"/>")));
    w.Write(entry(8, "err", "quiet"), 0);
    EXPECT_TRUE(notices.empty());
    EXPECT_TRUE(readAll(w.fileFor(QDate::currentDate())).contains("quiet"));
}

// An entry whose text its writer has just shown in a box of its own is
// logged but not shown again; other notices, and the same text later, are.
TEST_F(LogFixture, AnAlreadyShownTextIsLoggedWithoutASecondNotice)
{
    LogWriter &w = LogWriter::instance();
    ASSERT_TRUE(w.LoadConfig(config("")));
    {
        const OperatorNotice::AlreadyShown shown(QStringLiteral("您没有使用“合同登记”的权限"));
        w.Write(entry(2, QStringLiteral("提示："), QStringLiteral("您没有使用“合同登记”的权限")), 0);
        w.Write(entry(4, "src", "another"), 0);
    }
    w.Write(entry(2, QStringLiteral("提示："), QStringLiteral("您没有使用“合同登记”的权限")), 0);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].text, "another");
    EXPECT_EQ(notices[1].text, QStringLiteral("您没有使用“合同登记”的权限"));
    EXPECT_EQ(readAll(w.fileFor(QDate::currentDate())).count(QStringLiteral("您没有使用“合同登记”的权限")), 2);
}

TEST_F(LogFixture, UnwritableFolderReportsFalseAndStillShowsNotice)
{
    LogWriter &w = LogWriter::instance();
    QFile blocker(dir.filePath("blocked"));
    blocker.open(QIODevice::WriteOnly); // a file where the folder should be
    blocker.close();
    w.LoadConfig(config(""));
    w.setFolder(dir.filePath("blocked"));
    EXPECT_FALSE(w.Write(entry(8, "err", "disk trouble"), 0).toBool());
    EXPECT_FALSE(w.lastError().isEmpty());
    ASSERT_EQ(notices.size(), 2u); // the folder's trouble, then the entry itself
    EXPECT_EQ(notices[1].text, "disk trouble");
}

// The audit trail survives a log folder that cannot be written: the operator
// is told once, and every entry lands in the user's own data folder.
TEST_F(LogFixture, UnwritableFolderKeepsEntriesElsewhereAndTellsOnce)
{
    LogWriter &w = LogWriter::instance();
    QFile(dir.filePath("blocked")).open(QIODevice::WriteOnly);
    w.LoadConfig(config("<log folder='blocked/log'/>"));
    EXPECT_FALSE(w.Write(entry(48, "audit", "first record"), 0).toBool());
    EXPECT_FALSE(w.Write(entry(48, "audit", "second record"), 0).toBool());
    const QString spare = QDir(LogWriter::fallbackFolder()).filePath(QFileInfo(w.fileFor(QDate::currentDate())).fileName());
    const QString kept = readAll(spare);
    EXPECT_TRUE(spare.startsWith(dir.filePath("data"))) << spare.toStdString();
    EXPECT_TRUE(kept.contains("first record") && kept.contains("second record")) << kept.toStdString();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].icon, OperatorNotice::Icon::Exclamation);
    EXPECT_TRUE(notices[0].text.contains(QFileInfo(spare).absolutePath())) << notices[0].text.toStdString();

    // A writable folder again: entries go back where they belong.
    w.setFolder(dir.filePath("good"));
    EXPECT_TRUE(w.Write(entry(48, "audit", "third record"), 0).toBool());
    EXPECT_TRUE(readAll(w.fileFor(QDate::currentDate())).contains("third record"));
    EXPECT_EQ(notices.size(), 1u);
}

TEST(LogSink, KeepsOnlyTheNewestEntries)
{
    LogSink sink;
    for (int i = 0; i < LogSink::kKeep + 5; ++i) {
        LogEntry e;
        e.SetMessage(QString::number(i));
        sink.Receive(e);
    }
    ASSERT_EQ(sink.entries().size(), LogSink::kKeep);
    EXPECT_EQ(sink.entries().first().message(), "5");
    EXPECT_EQ(sink.entries().last().message(), QString::number(LogSink::kKeep + 4));
}

TEST(OperatorNotice, WithoutHandlerGoesThroughPlatformMessageBox)
{
    jx::ScopedMessageBoxRecorder boxes;
    OperatorNotice::show(OperatorNotice::Icon::Exclamation, QStringLiteral("提示："), QStringLiteral("插件未定义！"));
    OperatorNotice::show(OperatorNotice::Icon::Critical, "t", "c");
    OperatorNotice::show(OperatorNotice::Icon::Information, "t", "i");
    ASSERT_EQ(boxes.count(), 3);
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("插件未定义！"));
    EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("提示："));
    EXPECT_EQ(boxes.boxes()[0].style & 0x70, jx::Exclamation);
    EXPECT_EQ(boxes.boxes()[1].style & 0x70, jx::Critical);
    EXPECT_EQ(boxes.boxes()[2].style & 0x70, jx::Information);
}
