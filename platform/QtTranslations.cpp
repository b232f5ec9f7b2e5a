#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace jx {

bool installQtTranslations(QCoreApplication &app, const QString &folder)
{
    static const QString kMarker = QStringLiteral("jx-qt-zh_CN");
    if (app.findChild<QTranslator *>(kMarker, Qt::FindDirectChildrenOnly))
        return true;
    const QString dir = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto base = std::make_unique<QTranslator>();
    if (!base->load(QStringLiteral("qtbase_zh_CN"), dir))
        return false;
    base->setObjectName(kMarker);
    base->setParent(&app);
    QCoreApplication::installTranslator(base.release());
    // The older catalogue covers modules beyond the base one (print support among them).
    auto rest = std::make_unique<QTranslator>();
    if (rest->load(QStringLiteral("qt_zh_CN"), dir)) {
        rest->setParent(&app);
        QCoreApplication::installTranslator(rest.release());
    }
    return true;
}

} // namespace jx
