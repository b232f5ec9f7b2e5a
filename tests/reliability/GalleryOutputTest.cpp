#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include "ProgramPaths.h"

namespace {

// Runs toolbar-gallery --out; with a file size limit the disk is "full"
// after that many bytes.
int runGallery(const QString &out, rlim_t fileSizeLimit, QString *said)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([fileSizeLimit] {
        if (fileSizeLimit == RLIM_INFINITY)
            return;
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(programPath("JX_TOOLBAR_GALLERY"), {QStringLiteral("--out"), out, QStringLiteral("--width"), QStringLiteral("900")});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    *said = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitCode();
}

} // namespace

TEST(ToolbarGallery, FullDiskIsReportedAndTheOldPictureKept)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("bar.png"));
    QString said;
    ASSERT_EQ(runGallery(png, RLIM_INFINITY, &said), 0) << said.toStdString();
    QFile written(png);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray good = written.readAll();
    written.close();
    ASSERT_GT(good.size(), 1024);
    EXPECT_FALSE(QImage::fromData(good, "PNG").isNull());

    // Room for only part of the picture.
    EXPECT_EQ(runGallery(png, 256, &said), 1);
    EXPECT_TRUE(said.contains(QStringLiteral("cannot write"))) << said.toStdString();
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), good); // never half a new picture
    written.close();

    const QString fresh = dir.filePath(QStringLiteral("fresh.png"));
    EXPECT_EQ(runGallery(fresh, 256, &said), 1);
    EXPECT_FALSE(QFile::exists(fresh));
}
