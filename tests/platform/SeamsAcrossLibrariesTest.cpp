#include "platform/ILogWriter.h"
#include "platform/LogHook.h"
#include "platform/MessageBox.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"
#include "platform/TempFiles.h"

#include "ProgramPaths.h"

#include <QLibrary>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class RecordingWriter final : public jx::ILogWriter
{
public:
    void LoadConfig(const QString &) override {}
    void Init() override {}
    void Write(const QString &source, int32_t kind, const QString &message) override
    {
        entries << QStringLiteral("%1|%2|%3").arg(source).arg(kind).arg(message);
    }
    QString Encode(const QString &text) override { return text; }

    QStringList entries;
};

// The platform keeps one message-box seam, one log hook and one set of
// program facts per process, whichever library calls: a library loaded at
// run time (here a module linking only the platform) is answered by the
// program's recorder, writes through the program's writer and reads the
// folders and title the program set.
TEST(SeamsAcrossLibraries, ALoadedLibrarySeesTheProgramsBoxHandlerLogWriterAndFacts)
{
    QLibrary probe(programPath("SEAM_PROBE_PATH"));
    ASSERT_TRUE(probe.load()) << probe.errorString().toStdString();
    auto ask = reinterpret_cast<int (*)(const QString &)>(probe.resolve("probeAsk"));
    auto writer = reinterpret_cast<jx::ILogWriter *(*)()>(probe.resolve("probeWriter"));
    auto record = reinterpret_cast<bool (*)(const QString &)>(probe.resolve("probeRecord"));
    auto facts = reinterpret_cast<void (*)(QString *, QString *, QString *)>(probe.resolve("probeFacts"));
    ASSERT_TRUE(ask && writer && record && facts);

    const QString oldTitle = jx::ProgramInfo::title();
    QTemporaryDir settings, temp;
    jx::ProgramInfo::setTitle(QStringLiteral("房产中介测试"));
    jx::SettingsStore::setRootFolder(settings.path());
    jx::setTempFolder(temp.path());
    RecordingWriter log;
    jx::LogHook::setWriter(&log);

    {
        jx::ScopedMessageBoxRecorder boxes(jx::No);
        EXPECT_EQ(ask(QStringLiteral("模块里的提问")), jx::No);
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_EQ(boxes.last().text, QStringLiteral("模块里的提问"));
        EXPECT_EQ(boxes.last().style, int(jx::YesNo));
        EXPECT_EQ(boxes.last().title, QStringLiteral("房产中介测试"));
    }

    EXPECT_EQ(writer(), &log);
    EXPECT_TRUE(record(QStringLiteral("备份")));
    ASSERT_EQ(log.entries.size(), 1);
    EXPECT_TRUE(log.entries[0].startsWith(QStringLiteral("probe|%1|").arg(jx::kLogOperationKind))) << log.entries[0].toStdString();
    EXPECT_TRUE(log.entries[0].contains(QStringLiteral("备份"))) << log.entries[0].toStdString();

    QString title, settingsRoot, tempFolder;
    facts(&title, &settingsRoot, &tempFolder);
    EXPECT_EQ(title, QStringLiteral("房产中介测试"));
    EXPECT_EQ(settingsRoot, settings.path());
    EXPECT_EQ(tempFolder, temp.path());

    jx::LogHook::setWriter(nullptr);
    EXPECT_EQ(writer(), nullptr);
    EXPECT_FALSE(record(QStringLiteral("之后")));
    jx::ProgramInfo::setTitle(oldTitle);
    jx::SettingsStore::setRootFolder(QString());
    jx::setTempFolder(QString());
}

} // namespace
