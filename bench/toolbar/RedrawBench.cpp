#include "toolbar/control/NavToolbar.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QToolBar>

#include <benchmark/benchmark.h>

#include <memory>

using namespace qvtoolbar;

namespace {
QString caption(int i)
{
    return QStringLiteral("按钮%1").arg(i);
}
} // namespace

// Full repaint of a 1,600 x 29 bar with 40 buttons.
static void BM_NavToolbarRedraw(benchmark::State &state)
{
    auto bar = std::make_unique<NavToolbar>();
    bar->InitProperties();
    bar->SetUserMode(false);
    for (int i = 0; i < 40; ++i)
        bar->AddButton(Button, caption(i), QString());
    bar->SetTwipsSize(1600 * 15, 29 * 15);
    bar->Calculate_Size(1);
    for (auto _ : state) {
        bar->Redraw();
        benchmark::DoNotOptimize(bar->Surface().constBits());
    }
}
BENCHMARK(BM_NavToolbarRedraw)->Unit(benchmark::kMicrosecond);

// A QToolBar with 40 actions of the same captions rendered into an image
// of the same size.
static void BM_QToolBarRender(benchmark::State &state)
{
    QToolBar tb;
    tb.setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (int i = 0; i < 40; ++i)
        tb.addAction(caption(i));
    tb.resize(1600, 29);
    tb.ensurePolished();
    QImage img(1600, 29, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        tb.render(&img);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_QToolBarRender)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
