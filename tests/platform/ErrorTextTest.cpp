#include "platform/ErrorText.h"
#include "platform/ILogWriter.h"
#include "platform/LogHook.h"
#include "platform/MessageBox.h"
#include "platform/ReportingRun.h"
#include "platform/com/RuntimeError.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ErrorText, EachKindOfExceptionReadsAsTheUserShouldSeeIt)
{
    // A run-time error gives its own description.
    const com::RuntimeError rt(com::errors::TypeMismatch, QStringLiteral("calc"), QStringLiteral("类型不匹配"));
    EXPECT_EQ(jx::errorText(rt), QStringLiteral("类型不匹配"));
    // A message in UTF-8 keeps its Chinese.
    EXPECT_EQ(jx::errorText(std::runtime_error("读取失败: disk")), QStringLiteral("读取失败: disk"));
    // Bytes that are no UTF-8 are read in the ANSI code page: "中文" in GBK.
    EXPECT_EQ(jx::errorText(std::runtime_error("\xD6\xD0\xCE\xC4 bad")), QStringLiteral("中文 bad"));
    EXPECT_EQ(jx::errorText(std::runtime_error("")), QString());
}

TEST(ErrorText, CurrentErrorTextSeesThroughTheHandledException)
{
    try {
        throw com::RuntimeError::of(com::errors::SubscriptOutOfRange);
    } catch (...) {
        EXPECT_EQ(jx::currentErrorText(), QStringLiteral("下标越界"));
    }
    try {
        throw 42;
    } catch (...) {
        EXPECT_EQ(jx::currentErrorText(), QString());
    }
}

class RecordingLog final : public jx::ILogWriter
{
public:
    struct Entry
    {
        QString source;
        int32_t kind;
        QString message;
    };
    RecordingLog() { jx::LogHook::setWriter(this); }
    ~RecordingLog() { jx::LogHook::setWriter(nullptr); }
    RecordingLog(const RecordingLog &) = delete;
    RecordingLog &operator=(const RecordingLog &) = delete;

    void LoadConfig(const QString &) override {}
    void Init() override {}
    void Write(const QString &source, int32_t kind, const QString &message) override
    {
        entries.append({source, kind, message});
    }
    QString Encode(const QString &text) override { return text; }

    QList<Entry> entries;
};

TEST(ErrorText, SwallowedErrorsAreLoggedAndNeverThrow)
{
    {
        RecordingLog log;
        try {
            throw std::runtime_error("磁盘已满");
        } catch (...) {
            jx::logSwallowed(QStringLiteral("退出时清理配置"));
        }
        try {
            throw 7;
        } catch (...) {
            jx::logSwallowed(QStringLiteral("清理"));
        }
        ASSERT_EQ(log.entries.size(), 2);
        EXPECT_EQ(log.entries[0].kind, 4);
        EXPECT_EQ(log.entries[0].message, QStringLiteral("退出时清理配置：磁盘已满"));
        EXPECT_EQ(log.entries[1].message, QStringLiteral("清理：未知错误"));
    }
    // Without a log it still says nothing to the caller.
    try {
        throw std::runtime_error("x");
    } catch (...) {
        EXPECT_NO_THROW(jx::logSwallowed(QStringLiteral("无日志")));
    }
}

TEST(RunReporting, AFailureShowsPrefixAndReasonInOneBox)
{
    jx::ScopedMessageBoxRecorder boxes;
    const QString prefix = QStringLiteral("运行时发生错误,原因:");

    int ran = 0;
    EXPECT_TRUE(jx::runReporting(prefix, [&] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(boxes.count(), 0);

    QStringList order;
    EXPECT_FALSE(jx::runReporting(
        prefix, [] { throw com::RuntimeError::of(com::errors::Overflow); }, jx::Exclamation,
        QStringLiteral("错误:"), [&] { order << QStringLiteral("before:%1").arg(boxes.count()); }));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, prefix + QStringLiteral("溢出"));
    EXPECT_EQ(boxes.last().style, jx::Exclamation);
    EXPECT_EQ(boxes.last().title, QStringLiteral("错误:"));
    // The caller's refresh ran before the box was shown.
    EXPECT_EQ(order, QStringList{QStringLiteral("before:0")});

    // Something that is no exception still gives the box, without a reason.
    EXPECT_FALSE(jx::runReporting(prefix, [] { throw 1; }, jx::Critical));
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.last().text, prefix);
    EXPECT_EQ(boxes.last().style, jx::Critical);
}

TEST(RunReporting, AFailingRefreshDoesNotEscapeTheHandler)
{
    jx::ScopedMessageBoxRecorder boxes;
    RecordingLog log;
    bool result = true;
    EXPECT_NO_THROW(result = jx::runReporting(
                        QStringLiteral("出错:"), [] { throw std::runtime_error("a"); }, jx::Exclamation, QString(),
                        [] { throw std::runtime_error("b"); }));
    EXPECT_FALSE(result);
    EXPECT_EQ(boxes.count(), 0);
    ASSERT_EQ(log.entries.size(), 1);
    EXPECT_EQ(log.entries[0].message, QStringLiteral("出错:a：b"));
}

} // namespace
