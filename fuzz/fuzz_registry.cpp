// The registry store's file on arbitrary bytes: reads, then one change. A
// file the store refuses must be left byte for byte; a change it accepts must
// read back.

#include "FuzzScratch.h"

#include "platform/com/RegistryStore.h"

#include <QFile>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzScratch scratch;
    const QString file = scratch.write(QStringLiteral("registry.json"), data, size);
    com::RegistryStore::setFilePath(file);
    const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\jx");
    // The reads only have to return; a refusal of the file is checked below.
    static_cast<void>(com::RegistryStore::value(key, QStringLiteral("a")));
    static_cast<void>(com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID")));
    const bool changed = com::RegistryStore::setValue(key, QStringLiteral("fuzz"), QStringLiteral("1")).ok();
    if (!changed) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)
            || f.readAll() != QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)))
            std::abort(); // a refused file was written over
    } else if (com::RegistryStore::value(key, QStringLiteral("fuzz")).valueOr(std::nullopt).value_or(QString()) != QStringLiteral("1")) {
        std::abort(); // an accepted change did not read back
    }
    return 0;
}
