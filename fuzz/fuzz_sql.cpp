// The database component's dialect translation on arbitrary statements, for
// both engines.

#include "components/data/Database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    Database::translateSql(sql, QStringLiteral("sqlite"));
    Database::translateSql(sql, QStringLiteral("postgres"));
    return 0;
}
