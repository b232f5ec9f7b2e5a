// Shows every window control with sample content, or saves a picture of it.

#include "GalleryWindow.h"

#include "platform/QtTranslations.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    jx::installQtTranslations(app);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the window controls as the main workspace uses them."));
    parser.addHelpOption();
    QCommandLineOption outOpt(QStringLiteral("out"), QStringLiteral("Save a PNG of the window to FILE and quit."),
                              QStringLiteral("FILE"));
    parser.addOption(outOpt);
    parser.process(app);

    GalleryWindow window;
    window.show();
    if (parser.isSet(outOpt)) {
        QApplication::processEvents();
        const QString file = parser.value(outOpt);
        if (!window.grab().save(file, "PNG")) {
            std::fprintf(stderr, "controls-gallery: cannot write '%s'\n", qPrintable(file));
            return 1;
        }
        return 0;
    }
    return app.exec();
}
