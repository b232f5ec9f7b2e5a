#pragma once

#include <QByteArray>

#include <vector>

/// One file of a zip archive: its stored name (bytes as given) and contents.
struct ZipEntry
{
    QByteArray name;
    QByteArray data;
};

/// A zip archive of the entries, each deflated, in the given order; empty
/// when the archive cannot be written.
QByteArray writeZip(const std::vector<ZipEntry> &entries);
