// Diagram building on arbitrary XML. Node icons are written into the
// temporary folder's image cache under names taken from the diagram: nothing
// may ever appear anywhere else, and a malformed diagram ends in a message,
// never a crash.

#include "FuzzScratch.h"

#include "components/context/AppContext.h"
#include "console/workspace/PilotPage.h"
#include "platform/MessageBox.h"
#include "platform/com/ComPtr.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QWidget>

#include <cstdlib>

namespace {

struct Host
{
    Host()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        jx::setMessageBoxHandler([](const QString &, int style, const QString &) { return jx::defaultMsgResult(style); });
        // The temporary folder sits two levels down, so that a name climbing
        // out of the image cache lands somewhere this target can see.
        const QString temp = QDir(scratch.path()).filePath(QStringLiteral("a/b/temp"));
        QDir().mkpath(temp);
        context->Environment().SetTempPath(QString(temp).replace(u'/', u'\\') + u'\\');
        images = QDir(temp).filePath(QStringLiteral("images"));
    }

    FuzzScratch scratch;
    int argc = 1;
    char name[5] = "fuzz";
    char *argv[2] = {name, nullptr};
    QApplication app{argc, argv};
    com::ComPtr<AppContext> context = com::ComPtr<AppContext>::adopt(new AppContext());
    QString images;
};

void checkConfined(const QString &root, const QString &images)
{
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (!file.startsWith(images + u'/'))
            std::abort(); // an icon written outside its cache
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Host host;
    QDir(host.images).removeRecursively();
    {
        QWidget page;
        jx::PilotPage pilot(*host.context, &page, {});
        pilot.BuildPilot(QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    checkConfined(host.scratch.path(), host.images);
    return 0;
}
