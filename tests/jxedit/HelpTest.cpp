// The user manual against the product: every command its shortcut tables
// name exists in that function with that caption and that key, and every
// page it links to is there.

#include "FunctionHost.h"

#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QRegularExpression>
#include "ProgramPaths.h"

namespace {

class HelpTest : public FunctionHost
{
protected:
    static QString helpDir() { return programPath("JX_DEMO_DIR") + QStringLiteral("/help"); }
    static QString read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // Py_Init's arguments after the program number, as a host gives them for the kind.
    static std::vector<com::Variant> argsFor(const QString &control, int program)
    {
        std::vector<com::Variant> args{com::Variant::fromInt32(program)};
        if (control == u"JxEdit.oedit") {
            args.push_back(com::Variant::fromDouble(0));
            args.push_back(com::Variant::fromInt16(1));
        } else if (control == u"JxEdit.oquery" || control == u"JxEdit.oReport") {
            args.push_back(com::Variant::fromString(QString()));
        }
        return args;
    }
};

TEST_P(HelpTest, EveryShortcutTheManualNamesIsACommandOfItsFunction)
{
    static const QRegularExpression table(QStringLiteral("<table class=\"shortcuts\" data-control=\"([^\"]+)\" data-program=\"(\\d+)\"(.*?)</table>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression row(QStringLiteral("<tr><td>([^<]+)</td><td><kbd>([^<]+)</kbd></td>"));
    int tables = 0, rows = 0;
    for (const QString &file : QDir(helpDir()).entryList({QStringLiteral("*.html")})) {
        const QString page = read(helpDir() + u'/' + file);
        for (auto t = table.globalMatch(page); t.hasNext();) {
            const auto found = t.next();
            ++tables;
            const QString control = found.captured(1);
            SCOPED_TRACE((file + u' ' + control).toStdString());
            qvcontrols::ControlSite *site = add(control, QStringLiteral("help%1").arg(tables));
            ASSERT_TRUE(start(site, argsFor(control, found.captured(2).toInt())))
                << com::toQVariant(com::get(site->object(), QStringLiteral("ErrorText"))).toString().toStdString();
            QHash<QString, QKeySequence> commands;
            for (const QAction *a : site->widget()->findChildren<QAction *>())
                commands.insert(a->text(), a->shortcut());
            for (auto r = row.globalMatch(found.captured(3)); r.hasNext();) {
                const auto command = r.next();
                ++rows;
                const QString caption = command.captured(1), key = command.captured(2);
                ASSERT_TRUE(commands.contains(caption)) << "no command " << caption.toStdString();
                EXPECT_EQ(commands.value(caption), QKeySequence::fromString(key, QKeySequence::PortableText))
                    << caption.toStdString() << " is " << commands.value(caption).toString().toStdString() << ", the manual says "
                    << key.toStdString();
            }
        }
    }
    // The record form, the query grid, the report, the overview, the reminders, the offer's commands and the agenda.
    EXPECT_EQ(tables, 7);
    EXPECT_GT(rows, 20);
}

TEST_P(HelpTest, EveryPageTheManualLinksToExists)
{
    static const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+\\.html)\""));
    const QStringList pages = QDir(helpDir()).entryList({QStringLiteral("*.html")});
    ASSERT_TRUE(pages.contains(QStringLiteral("index.html")));
    for (const QString &file : pages)
        for (auto m = link.globalMatch(read(helpDir() + u'/' + file)); m.hasNext();) {
            const QString target = m.next().captured(1);
            EXPECT_TRUE(pages.contains(target)) << file.toStdString() << " links to " << target.toStdString();
        }
    // Every page is reached from the table of contents.
    const QString index = read(helpDir() + QStringLiteral("/index.html"));
    for (const QString &file : pages) {
        if (file == u"index.html")
            continue;
        EXPECT_TRUE(index.contains(QStringLiteral("href=\"%1\"").arg(file))) << file.toStdString();
    }
}

// The controls and their shortcuts do not depend on the engine.
INSTANTIATE_TEST_SUITE_P(Engines, HelpTest, ::testing::Values("sqlite"));

} // namespace
