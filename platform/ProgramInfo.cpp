#include "platform/ProgramInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace jx {

namespace {

struct Info
{
    QString programFolder;
    QString exeName;
    QString title = QStringLiteral("JxMain1");
    QString helpFile;
    QString fileDescription = QStringLiteral("房地产中介管理系统");
    QString copyright = QStringLiteral("Copyright (C) 2009");
    QString trademarks;
    QString companyName;
};

Info &info()
{
    static Info instance;
    return instance;
}

// The running executable, also before a QCoreApplication exists.
QFileInfo executable()
{
    if (QCoreApplication::instance() != nullptr)
        return QFileInfo(QCoreApplication::applicationFilePath());
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
}

} // namespace

QString ProgramInfo::programFolder()
{
    if (!info().programFolder.isEmpty())
        return info().programFolder;
    return executable().absolutePath();
}

void ProgramInfo::setProgramFolder(const QString &folder)
{
    QString cleaned = folder;
    while (cleaned.size() > 1 && (cleaned.endsWith(u'/') || cleaned.endsWith(u'\\')))
        cleaned.chop(1);
    info().programFolder = cleaned;
}

QString ProgramInfo::exeName()
{
    if (!info().exeName.isEmpty())
        return info().exeName;
    return executable().completeBaseName();
}

void ProgramInfo::setExeName(const QString &name)
{
    info().exeName = name;
}

int ProgramInfo::versionMajor()
{
    return JX_VERSION_MAJOR;
}

int ProgramInfo::versionMinor()
{
    return JX_VERSION_MINOR;
}

int ProgramInfo::versionRevision()
{
    return JX_VERSION_REVISION;
}

QString ProgramInfo::versionText()
{
    return QStringLiteral("%1.%2.%3").arg(versionMajor()).arg(versionMinor()).arg(versionRevision());
}

QString ProgramInfo::title()
{
    return info().title;
}

void ProgramInfo::setTitle(const QString &title)
{
    info().title = title;
}

QString ProgramInfo::helpFile()
{
    return info().helpFile;
}

void ProgramInfo::setHelpFile(const QString &file)
{
    info().helpFile = file;
}

QString ProgramInfo::fileDescription()
{
    return info().fileDescription;
}

void ProgramInfo::setFileDescription(const QString &text)
{
    info().fileDescription = text;
}

QString ProgramInfo::copyright()
{
    return info().copyright;
}

void ProgramInfo::setCopyright(const QString &text)
{
    info().copyright = text;
}

QString ProgramInfo::trademarks()
{
    return info().trademarks;
}

void ProgramInfo::setTrademarks(const QString &text)
{
    info().trademarks = text;
}

QString ProgramInfo::companyName()
{
    return info().companyName;
}

void ProgramInfo::setCompanyName(const QString &text)
{
    info().companyName = text;
}

} // namespace jx
