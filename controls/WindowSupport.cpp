#include "controls/WindowSupport.h"

#include "controls/HelpViewer.h"

#include "platform/MessageBox.h"
#include "platform/PathMapper.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <QWidget>

namespace qvcontrols {

QPixmap CaptureWindow(QWidget *window, bool clientOnly, int left, int top, int width, int height)
{
    if (!window || width <= 0 || height <= 0)
        return {};
    if (!clientOnly) {
        const QRect frame = window->frameGeometry();
        if (QScreen *screen = window->screen()) {
            const QPixmap shot = screen->grabWindow(0, frame.x() + left, frame.y() + top, width, height);
            if (!shot.isNull() && !shot.toImage().allGray())
                return shot;
        }
        // No picture from the screen: the frame's offset into the client area.
        left -= window->geometry().x() - frame.x();
        top -= window->geometry().y() - frame.y();
    }
    return window->grab(QRect(left, top, width, height));
}

HelpViewer *ShowHelpContents(const QString &helpFileName)
{
    const QString title = QStringLiteral("提示:");
    if (helpFileName.trimmed().isEmpty()) {
        jx::msgBox(QStringLiteral("无法显示帮助目录，该工程没有相关联的帮助。"), jx::Information, title);
        return nullptr;
    }
    const QFileInfo info(jx::toLocalPath(helpFileName.trimmed()));
    if (!info.exists()) {
        jx::msgBox(QStringLiteral("无法显示帮助目录，没有找到该工程相关联的帮助文件。"), jx::Information, title);
        return nullptr;
    }
    const QString suffix = info.suffix().toLower();
    if (info.isDir() || suffix == QLatin1String("html") || suffix == QLatin1String("htm")) {
        auto *viewer = new HelpViewer();
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        if (!viewer->OpenContents(info.absoluteFilePath())) {
            delete viewer;
            jx::msgBox(QStringLiteral("无法显示帮助目录，没有找到该工程相关联的帮助文件。"), jx::Information, title);
            return nullptr;
        }
        viewer->show();
        viewer->raise();
        return viewer;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
    return nullptr;
}

} // namespace qvcontrols
