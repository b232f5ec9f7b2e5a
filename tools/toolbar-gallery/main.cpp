#include "GalleryBar.h"

#include "platform/QtTranslations.h"
#include "toolbar/control/ToolbarEnums.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QImageWriter>
#include <QLabel>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

using namespace qvtoolbar;

namespace {

QString describeItem(const ItemRef &item)
{
    if (!item)
        return QStringLiteral("(none)");
    return QStringLiteral("key=%1 caption=%2").arg(item->Key(), item->Caption());
}

void print(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int runEvents(QApplication &app, int w, int h)
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("toolbar-gallery --events"));
    NavToolbar *bar = makeEventsBar(&window);
    bar->setAccessibleName(QStringLiteral("工具栏"));
    bar->move(0, 0);
    bar->SetTwipsSize(w * 15, h * 15);
    window.resize(bar->width(), bar->height() + 40);
    QObject::connect(bar, &NavToolbar::HoverItem, [](ItemRef b) { print(QStringLiteral("HoverItem ") + describeItem(b)); });
    QObject::connect(bar, &NavToolbar::ItemClick, [](ItemRef b, int32_t x, int32_t y) {
        print(QStringLiteral("ItemClick %1 X=%2 Y=%3").arg(describeItem(b)).arg(x).arg(y));
    });
    QObject::connect(bar, &NavToolbar::DropdownClick, [](ItemRef b, int32_t x, int32_t y) {
        print(QStringLiteral("DropdownClick %1 X=%2 Y=%3").arg(describeItem(b)).arg(x).arg(y));
    });
    QObject::connect(bar, &NavToolbar::MouseRightClick, [] { print(QStringLiteral("MouseRightClick")); });
    QObject::connect(bar, &NavToolbar::ThemeChanged, [] { print(QStringLiteral("ThemeChanged")); });
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    jx::installQtTranslations(app);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the toolbar in every theme, or saves one bar as PNG."));
    parser.addHelpOption();
    QCommandLineOption themeOpt(QStringLiteral("theme"), QStringLiteral("Theme member name (Blue, Silver, Olive, Visual2005, Norton2004, Autodetect)."), QStringLiteral("NAME"), QStringLiteral("Blue"));
    QCommandLineOption widthOpt(QStringLiteral("width"), QStringLiteral("Bar width in pixels."), QStringLiteral("W"), QStringLiteral("640"));
    QCommandLineOption heightOpt(QStringLiteral("height"), QStringLiteral("Bar height in pixels."), QStringLiteral("H"), QStringLiteral("29"));
    QCommandLineOption eventsOpt(QStringLiteral("events"), QStringLiteral("Show one interactive bar and print every event it raises, one line each."));
    QCommandLineOption outOpt(QStringLiteral("out"), QStringLiteral("Save the bar to this PNG file instead of showing a window."), QStringLiteral("FILE.png"));
    parser.addOptions({themeOpt, widthOpt, heightOpt, outOpt, eventsOpt});
    parser.process(app);

    bool okW = false, okH = false;
    const int w = parser.value(widthOpt).toInt(&okW);
    const int h = parser.value(heightOpt).toInt(&okH);
    if (!okW || !okH || w <= 0 || h <= 0 || w > 20000 || h > 2000) {
        std::fprintf(stderr, "toolbar-gallery: width and height must be whole numbers of pixels (1-20000, 1-2000)\n");
        return 2;
    }
    ThemeConst theme = Blue;
    if (!ThemeFromName(parser.value(themeOpt), &theme)) {
        std::fprintf(stderr, "toolbar-gallery: unknown theme '%s'\n", qPrintable(parser.value(themeOpt)));
        return 2;
    }

    if (parser.isSet(eventsOpt))
        return runEvents(app, w, h);

    if (parser.isSet(outOpt)) {
        auto bar = makeGalleryBar(theme, w, h);
        const QString file = parser.value(outOpt);
        // Through a save file, so an old picture is never replaced by half a
        // new one. Flushed and checked before the commit: the commit itself
        // does not report a short write of the last buffered bytes (full disk).
        QSaveFile out(file);
        QImageWriter writer(&out, "PNG");
        if (!out.open(QIODevice::WriteOnly) || !writer.write(bar->Surface()) || !out.flush() || !out.commit()) {
            const QString why = writer.error() != QImageWriter::UnknownError ? writer.errorString() : out.errorString();
            std::fprintf(stderr, "toolbar-gallery: cannot write '%s': %s\n", qPrintable(file), qPrintable(why));
            return 1;
        }
        return 0;
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("toolbar-gallery"));
    auto *layout = new QVBoxLayout(&window);
    for (int t = Blue; t <= Autodetect; ++t) {
        layout->addWidget(new QLabel(ThemeName(static_cast<ThemeConst>(t)), &window));
        auto bar = makeGalleryBar(static_cast<ThemeConst>(t), w, h, &window);
        bar->setFixedSize(bar->size());
        layout->addWidget(bar.release());
    }
    window.show();
    return app.exec();
}
