// Builds the demo installation's database and theme pictures from versioned text.
// Usage: jx-demo-db <schema.sql> <seed.sql> <users.txt> <out.db> <theme-folder>
#include "DemoDiagrams.h"
#include "DemoIcons.h"
#include "DemoUsers.h"
#include "FunctionDemo.h"
#include "PhotoDemo.h"
#include "ViewingDemo.h"
#include "GifWriter.h"

#include "components/data/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>

namespace {
bool readText(const QString &path, QString &text)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    text = QString::fromUtf8(f.readAll());
    return true;
}

QImage picture(int w, int h, QColor top, QColor bottom, const QString &text)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(img.rect(), g);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(qMax(10, h / 3));
    f.setBold(true);
    p.setFont(f);
    p.drawText(img.rect(), Qt::AlignCenter, text);
    return img;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: jx-demo-db schema.sql seed.sql users.txt out.db theme-folder\n");
        return 2;
    }
    QString schema, seed, users;
    if (!readText(args[1], schema) || !readText(args[2], seed) || !readText(args[3], users))
        return 1;

    const QString dbPath = args[4];
    QDir().mkpath(QFileInfo(dbPath).absolutePath());
    const QString temp = dbPath + QStringLiteral(".tmp");
    QFile::remove(temp);
    {
        QFile empty(temp); // an empty file is an empty SQLite database
        if (!empty.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(temp));
            return 1;
        }
    }
    {
        Database db;
        if (!db.OpenDirect(QStringLiteral("sqlite"), temp) || !db.ExecuteScript(schema) || !db.ExecuteScript(seed)) {
            std::fprintf(stderr, "%s\n", qPrintable(db.LastError().Description()));
            return 1;
        }
        if (QString why; !DemoUsers::setPasswords(db, users, why)) {
            std::fprintf(stderr, "%s\n", qPrintable(why));
            return 1;
        }
        if (!writeDemoDiagrams(db))
            return 1;
        if (QString why; !addDemoIcons(db, why)) {
            std::fprintf(stderr, "cannot store the menu icons: %s\n", qPrintable(why));
            return 1;
        }
        if (const auto loaded = FunctionDemo::load(db, QStringLiteral(JX_FUNCTION_DEMO_DIR)); !loaded) {
            std::fprintf(stderr, "%s\n", qPrintable(loaded.error()));
            return 1;
        }
        if (QString why; !ViewingDemo::add(db, QDate::currentDate(), why)) {
            std::fprintf(stderr, "cannot add the demo viewings: %s\n", qPrintable(why));
            return 1;
        }
        // A few dozen listings with photos keep the demo database small.
        if (QString why; !PhotoDemo::add(db, 36, why)) {
            std::fprintf(stderr, "cannot store the demo photos: %s\n", qPrintable(why));
            return 1;
        }
        db.Close();
    }
    QFile::remove(dbPath);
    if (!QFile::rename(temp, dbPath)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(dbPath));
        return 1;
    }

    const QDir theme(args[5]);
    QDir().mkpath(theme.absolutePath());
    const QColor dark(0x1f, 0x4e, 0x8c), light(0x6f, 0xa8, 0xdc);
    const bool ok = writeGif(picture(48, 48, light, dark, QStringLiteral("JX")), theme.filePath(QStringLiteral("logo.gif")))
        && writeGif(picture(320, 40, dark, light, QStringLiteral("简衡房产管理系统")), theme.filePath(QStringLiteral("title.gif")))
        && writeGif(picture(160, 120, light, dark, QStringLiteral("解锁")), theme.filePath(QStringLiteral("piclogin.gif")));
    if (!ok) {
        std::fprintf(stderr, "cannot write theme pictures to %s\n", qPrintable(theme.absolutePath()));
        return 1;
    }
    return 0;
}
