#include "FakeLogWriter.h"
#include "TestInstallation.h"

#include "components/log/LogSink.h"
#include "console/log/Logger.h"
#include "console/startup/ConsoleSession.h"
#include "platform/com/RuntimeError.h"

#include <QDate>
#include <QFile>

#include <pugixml.hpp>

#include <gtest/gtest.h>

namespace {

// The log as start-up sets it up: subject from the configuration, user name
// from the current user, entries handed to the writer.
class LoggerFixture : public ::testing::Test
{
protected:
    void open(const QString &systemBody)
    {
        installation.writeConfig(systemBody);
        const auto opened = session.OpenInstallation(installation.configFile());
        ASSERT_TRUE(opened) << opened.error().toStdString();
    }
    jxtest::TestInstallation installation;
    jxtest::FakeLogWriter log;
    jx::ConsoleSession session{&log};
};

TEST_F(LoggerFixture, SourceDefaultsToProductNameThenSubject)
{
    open(QString());
    jx::WriteLog(QStringLiteral("a"), jx::LogProgress);
    jx::WriteLog(QStringLiteral("c"), jx::LogNotice, QStringLiteral("提示："));
    session.Shutdown();
    open(QStringLiteral("<subject>地产</subject>"));
    jx::WriteLog(QStringLiteral("b"), jx::LogWarning, QString());
    ASSERT_EQ(log.entries.size(), 3);
    EXPECT_EQ(log.entries[0].source, QStringLiteral("简衡软件"));
    EXPECT_EQ(log.entries[0].kind, 1);
    EXPECT_EQ(log.entries[1].source, QStringLiteral("提示："));
    EXPECT_EQ(log.entries[1].message, QStringLiteral("c"));
    EXPECT_EQ(log.entries[2].source, QStringLiteral("地产"));
    EXPECT_EQ(log.entries[2].kind, 4);
}

TEST_F(LoggerFixture, OperationRecordCarriesTheCurrentUser)
{
    open(QString());
    session.CurrentUser()->SetUserName(QStringLiteral("admin"));
    jx::WriteOperation(QStringLiteral("正在注销用户并退出系统！"), 0);
    ASSERT_EQ(log.entries.size(), 1);
    EXPECT_EQ(log.entries[0].kind, 48);
    EXPECT_EQ(log.entries[0].source, QStringLiteral("简衡软件"));
    EXPECT_EQ(log.entries[0].message,
              QStringLiteral("<log><progid>0</progid><user>admin</user><message>正在注销用户并退出系统！</message></log>"));

    jx::WriteOperation(QStringLiteral("m"), -5);
    EXPECT_TRUE(log.lastMessage().startsWith(QStringLiteral("<log><progid>-5</progid>")));
}

TEST_F(LoggerFixture, OperationRecordStaysWellFormed)
{
    open(QString());
    session.CurrentUser()->SetUserName(QStringLiteral("a<b&c"));
    jx::WriteOperation(QStringLiteral("x < y & z"), 220, QStringLiteral("src"));
    ASSERT_EQ(log.entries.size(), 1);
    const QString record = log.entries[0].message;
    EXPECT_EQ(record, QStringLiteral("<log><progid>220</progid><user>a&lt;b&amp;c</user><message>x &lt; y &amp; z</message></log>"));
    EXPECT_EQ(log.entries[0].source, QStringLiteral("src"));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(record.toUtf8().constData())) << record.toStdString();
    EXPECT_STREQ(doc.child("log").child("user").text().get(), "a<b&c");
    EXPECT_STREQ(doc.child("log").child("progid").text().get(), "220");
}

TEST_F(LoggerFixture, AfterShutdownTheRoutinesRaiseObjectRequired)
{
    open(QString());
    session.Shutdown();
    try {
        jx::WriteLog(QStringLiteral("x"), 1);
        ADD_FAILURE() << "no error raised";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), com::errors::ObjectRequired);
        EXPECT_EQ(e.description(), QStringLiteral("缺少对象"));
    }
    EXPECT_THROW(jx::WriteOperation(QStringLiteral("x"), 0), com::RuntimeError);
    EXPECT_TRUE(log.entries.isEmpty());
}

QStringList &qtWarnings()
{
    static QStringList warnings;
    return warnings;
}

TEST_F(LoggerFixture, WhatAHandlerSwallowedGoesToTheLogOrToQtsWarnings)
{
    open(QString());
    const com::RuntimeError error = com::RuntimeError::of(com::errors::ObjectRequired);
    jx::Logger::WriteSwallowed(QStringLiteral("布局"), error);
    ASSERT_EQ(log.entries.size(), 1);
    EXPECT_EQ(log.entries[0].kind, jx::LogWarning);
    EXPECT_EQ(log.entries[0].message, QStringLiteral("布局：") + com::errorDescription(error));

    // With no log left, nothing is lost and nothing is raised.
    session.Shutdown();
    qtWarnings().clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtWarningMsg)
            qtWarnings() << text;
    });
    jx::Logger::WriteSwallowed(QStringLiteral("布局"), error);
    qInstallMessageHandler(previous);
    EXPECT_EQ(log.entries.size(), 1);
    ASSERT_EQ(qtWarnings().size(), 1);
    EXPECT_TRUE(qtWarnings()[0].startsWith(QStringLiteral("布局：") + com::errorDescription(error))) << qtWarnings()[0].toStdString();
}

TEST(LoggerComponents, EntriesReachTheInstallationLogAndTheSink)
{
    // Without a writer of its own the session drives the components' log writer.
    jxtest::TestInstallation installation;
    installation.writeConfig();
    jx::ConsoleSession session;
    ASSERT_TRUE(session.OpenInstallation(installation.configFile()));
    session.CurrentUser()->SetUserName(QStringLiteral("clerk"));
    jx::WriteLog(QStringLiteral("系统正常启动,登录操作"), jx::LogProgress);
    jx::WriteOperation(QStringLiteral("打开<插件>"), 7);
    ASSERT_NE(session.Sink(), nullptr);
    const QVector<LogEntry> seen = session.Sink()->entries();
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].message(), QStringLiteral("系统正常启动,登录操作"));
    EXPECT_EQ(seen[1].kind(), 48);
    EXPECT_EQ(seen[1].message(), QStringLiteral("<log><progid>7</progid><user>clerk</user><message>打开&lt;插件&gt;</message></log>"));
    session.Shutdown();

    QFile file(installation.path(QStringLiteral("log/") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("\t1\t简衡软件\t系统正常启动,登录操作\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("<user>clerk</user>")));
}

} // namespace
