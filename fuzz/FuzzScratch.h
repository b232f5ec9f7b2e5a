#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

class QTemporaryDir;

/// A private folder for one fuzzing process: the parsers under test read
/// files, so each input is written to a file of the name they expect.
class FuzzScratch
{
public:
    FuzzScratch();
    ~FuzzScratch();

    /// The folder's path.
    QString path() const;
    /// Writes the input as <folder>/<name> (sub-folders created) and returns its path.
    QString write(const QString &name, const uint8_t *data, size_t size) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};
