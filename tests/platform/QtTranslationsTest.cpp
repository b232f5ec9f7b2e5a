#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {
// The application is shared with every other test: leave it untranslated.
void removeTranslators()
{
    for (QTranslator *t : qApp->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}
} // namespace

TEST(QtTranslations, QtsOwnTextsComeOutChinese)
{
    removeTranslators();
    // A folder without the catalogue: failure reported, nothing installed.
    QTemporaryDir empty;
    QFile broken(empty.filePath("qt_zh_CN.qm"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a catalogue");
    broken.close();
    EXPECT_FALSE(jx::installQtTranslations(*qApp, empty.path()));
    EXPECT_TRUE(qApp->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly).isEmpty());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");

    ASSERT_TRUE(jx::installQtTranslations(*qApp))
        << "no qtbase_zh_CN in " << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    EXPECT_NE(box.button(QDialogButtonBox::Ok)->text(), "OK");

    // A second call adds no second set.
    const auto installed = qApp->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly).size();
    EXPECT_TRUE(jx::installQtTranslations(*qApp));
    EXPECT_EQ(qApp->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly).size(), installed);
    removeTranslators();
}
