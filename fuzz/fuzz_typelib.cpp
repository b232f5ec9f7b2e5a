// The type-library reader on arbitrary files in the Plugin folder, and its
// description parser on arbitrary text.

#include "FuzzScratch.h"

#include "platform/com/TypeLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzScratch scratch;
    const QString file = scratch.write(QStringLiteral("Plugin/input.so"), data, size);
    if (const auto lib = com::TypeLibrary::loadFromFile(file)) {
        for (const com::TypeEntry &c : lib->coclasses())
            lib->findCoclass(c.name);
    }
    static_cast<void>(com::TypeLibrary::parse(
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)))); // only that it returns
    return 0;
}
