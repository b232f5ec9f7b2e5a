#pragma once

#include "platform/com/Result.h"

#include <QMap>
#include <QString>
#include <QStringList>

class Database;

/// The product schema and the demo agency's data, the same scripts the demo
/// installation is built from (compiled into the program).
class SchemaScripts
{
public:
    static QString schema();
    static QString seed();

    /// Creates every table in db, in one transaction; with demo, fills in the
    /// demo agency and its users' password hashes as well.
    static jx::Result<> create(Database &db, bool demo);

    /// The product's tables (lower case) in the order the schema creates
    /// them: every table after the tables it refers to.
    static QStringList tableOrder();

    /// Tables the product expects and their columns (lower case), read back
    /// from a scratch SQLite file the schema was loaded into.
    static jx::Result<QMap<QString, QStringList>> expected();
};
