#include "FakeRuntime.h"

#include "console/log/Logger.h"
#include "platform/com/RuntimeError.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

namespace {

class LoggerFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        jx::Logger::SetWriter(&runtime.writer);
        jx::Logger::SetSubjectSource([this] { return subject; });
        jx::Logger::SetUserNameSource([this] { return user; });
    }
    void TearDown() override
    {
        jx::Logger::SetWriter(nullptr);
        jx::Logger::SetSubjectSource({});
        jx::Logger::SetUserNameSource({});
    }
    jxtest::FakeRuntime runtime;
    QString subject;
    QString user = QStringLiteral("admin");
};

TEST_F(LoggerFixture, SourceDefaultsToProductNameThenSubject)
{
    jx::WriteLog(QStringLiteral("a"), jx::LogProgress);
    subject = QStringLiteral("地产");
    jx::WriteLog(QStringLiteral("b"), jx::LogWarning, QString());
    jx::WriteLog(QStringLiteral("c"), jx::LogNotice, QStringLiteral("提示："));
    ASSERT_EQ(runtime.w.entries.size(), 3);
    EXPECT_EQ(runtime.w.entries[0].source, QStringLiteral("简衡软件"));
    EXPECT_EQ(runtime.w.entries[0].kind, 1);
    EXPECT_EQ(runtime.w.entries[1].source, QStringLiteral("地产"));
    EXPECT_EQ(runtime.w.entries[1].kind, 4);
    EXPECT_EQ(runtime.w.entries[2].source, QStringLiteral("提示："));
    EXPECT_EQ(runtime.w.entries[2].message, QStringLiteral("c"));
}

TEST_F(LoggerFixture, OperationRecordExactText)
{
    jx::WriteOperation(QStringLiteral("正在注销用户并退出系统！"), 0);
    ASSERT_EQ(runtime.w.entries.size(), 1);
    EXPECT_EQ(runtime.w.entries[0].kind, 48);
    EXPECT_EQ(runtime.w.entries[0].source, QStringLiteral("简衡软件"));
    EXPECT_EQ(runtime.w.entries[0].message,
              QStringLiteral("<log><progid>0</progid><user>admin</user><message>正在注销用户并退出系统！</message></log>"));
}

TEST_F(LoggerFixture, OperationRecordEscapesUserNameAndMessage)
{
    user = QStringLiteral("a<b&c");
    jx::WriteOperation(QStringLiteral("x < y & z"), 220, QStringLiteral("src"));
    ASSERT_EQ(runtime.w.entries.size(), 1);
    const QString record = runtime.w.entries[0].message;
    EXPECT_EQ(record, QStringLiteral("<log><progid>220</progid><user>a&lt;b&amp;c</user><message>x &lt; y &amp; z</message></log>"));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(record.toUtf8().constData())) << record.toStdString();
    EXPECT_STREQ(doc.child("log").child("user").text().get(), "a<b&c");
    EXPECT_STREQ(doc.child("log").child("progid").text().get(), "220");
}

TEST_F(LoggerFixture, NegativeProgramNumberPrintsSign)
{
    jx::WriteOperation(QStringLiteral("m"), -5);
    EXPECT_TRUE(runtime.w.entries[0].message.startsWith(QStringLiteral("<log><progid>-5</progid>")));
}

TEST(LoggerAfterShutdown, RaisesObjectRequired)
{
    jx::Logger::SetWriter(nullptr);
    EXPECT_THROW(jx::WriteLog(QStringLiteral("x"), 1), com::RuntimeError);
    EXPECT_THROW(jx::WriteOperation(QStringLiteral("x"), 0), com::RuntimeError);
}

} // namespace
