#include "FuzzScratch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>

FuzzScratch::FuzzScratch() : m_dir(std::make_unique<QTemporaryDir>())
{
    if (!m_dir->isValid())
        std::abort(); // nothing can be fuzzed without a folder to write to
}

FuzzScratch::~FuzzScratch() = default;

QString FuzzScratch::path() const { return m_dir->path(); }

QString FuzzScratch::write(const QString &name, const uint8_t *data, size_t size) const
{
    const QString file = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
        std::abort();
    return file;
}
