// Building a navigation diagram of 100 nodes and 100 arrows from its blocks
// markup (nodes captioned with encoded words, icons from the cache), beside
// creating 100 QLabels showing pictures loaded from the same files. Both
// shown on a page and removed again in each iteration.
//
// Then the large diagrams: 5,000 nodes (all built) and 20,000 nodes (built up
// to the page's limit, the rest only counted), each beside 5,000 QLabels.

#include "components/context/AppContext.h"
#include "console/workspace/PilotPage.h"
#include "platform/AnsiCodec.h"
#include "platform/MessageBox.h"
#include "platform/com/ComPtr.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kCount = 100;
constexpr int kIcons = 10;
// As many as the page builds of one diagram.
constexpr int kLarge = 5000;

QByteArray png(int i)
{
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(qRgb(20 * i, 120, 255 - 20 * i));
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return out;
}

QString word(const QString &text)
{
    return QStringLiteral("=?gb2312?B?") + QString::fromLatin1(jx::toAnsi(text).toBase64()) + QStringLiteral("?=");
}

// `arrowCount` arrows and `nodeCount` nodes on a grid.
QString diagram(int arrowCount, int nodeCount)
{
    QString arrows, pilots;
    for (int i = 0; i < arrowCount; ++i) {
        const int x = (i % 10) * 30, y = (i / 10) * 25;
        arrows += QStringLiteral("<arrow left=\"%1\" top=\"%2\" width=\"8\" height=\"4\" forecolor=\"9195039\" arrowdirection=\"0\" "
                                 "appearance=\"1\" backcolor=\"16777215\" constantalpha=\"0\" borderstyle=\"0\" shadowlength=\"2\" "
                                 "shadowstep=\"1\"/>")
                      .arg(x + 21)
                      .arg(y + 7);
    }
    QStringList icons;
    for (int i = 0; i < kIcons; ++i) {
        QString b64 = QString::fromLatin1(png(i % kIcons).toBase64());
        for (qsizetype at = 72; at < b64.size(); at += 73)
            b64.insert(at, QLatin1Char('\n'));
        icons << b64;
    }
    for (int i = 0; i < nodeCount; ++i) {
        const int x = (i % 10) * 30, y = (i / 10) * 25;
        pilots += QStringLiteral("<pilot caption=\"%1\" left=\"%2\" top=\"%3\" width=\"20\" height=\"18\" iconsize=\"32\" righttoleft=\"0\" "
                                 "textalign=\"2\"><menu code=\"%4\"/><icon filename=\"%5\">%6</icon></pilot>")
                      .arg(word(QStringLiteral("房源登记%1").arg(i)))
                      .arg(x)
                      .arg(y)
                      .arg(1000 + i)
                      .arg(word(QStringLiteral("图标%1.png").arg(i % kIcons)), icons.at(i % kIcons));
    }
    return QStringLiteral("<blocks><arrows>") + arrows + QStringLiteral("</arrows><pilots>") + pilots + QStringLiteral("</pilots></blocks>");
}

struct Fixture
{
    Fixture()
    {
        context->Environment().SetTempPath(dir.path() + QStringLiteral("\\temp\\"));
        page.resize(1400, 1000);
        page.show();
        pilot = std::make_unique<jx::PilotPage>(*context, &page, [](const QString &) {});
        // Fills the icon cache once, as the first opening of a diagram does.
        pilot->BuildPilot(xml);
        pilot->ClearDynamicControls();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (int i = 0; i < kIcons; ++i)
            icons.push_back(QDir(dir.path()).filePath(QStringLiteral("temp/images/图标%1.png").arg(i)));
    }
    QTemporaryDir dir;
    com::ComPtr<AppContext> context = com::ComPtr<AppContext>::adopt(new AppContext());
    QWidget page;
    const QString xml = diagram(kCount, kCount);
    const QString large = diagram(0, kLarge);
    const QString huge = diagram(0, 4 * kLarge);
    // The limit's notice on the huge diagram answered at once.
    jx::ScopedMessageBoxRecorder boxes;
    std::unique_ptr<jx::PilotPage> pilot;
    std::vector<QString> icons;
};

void buildPilot(benchmark::State &state, Fixture &f, const QString &xml)
{
    for (auto _ : state) {
        f.pilot->BuildPilot(xml);
        QCoreApplication::processEvents();
        f.pilot->ClearDynamicControls();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void labelsWithPictures(benchmark::State &state, Fixture &f, int count)
{
    for (auto _ : state) {
        std::vector<QLabel *> labels;
        for (int i = 0; i < count; ++i) {
            auto *label = new QLabel(&f.page);
            label->setPixmap(QPixmap(f.icons[size_t(i % kIcons)]));
            label->setGeometry((i % 10) * 120, (i / 10) * 90, 76, 68);
            label->show();
            labels.push_back(label);
        }
        QCoreApplication::processEvents();
        for (QLabel *label : labels)
            delete label;
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Fixture fixture;
    benchmark::RegisterBenchmark("BM_BuildPilot100Nodes100Arrows", [&](benchmark::State &s) { buildPilot(s, fixture, fixture.xml); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_Baseline100QLabelsWithPictures", [&](benchmark::State &s) { labelsWithPictures(s, fixture, kCount); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_BuildPilot5000Nodes", [&](benchmark::State &s) { buildPilot(s, fixture, fixture.large); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_BuildPilot20000NodesCapped", [&](benchmark::State &s) { buildPilot(s, fixture, fixture.huge); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_Baseline5000QLabelsWithPictures", [&](benchmark::State &s) { labelsWithPictures(s, fixture, kLarge); })
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
