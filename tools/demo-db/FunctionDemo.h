#pragma once

#include "platform/com/Result.h"

#include <QString>

class Database;

/// The agency's business tables, the function definitions and realistic demo
/// rows (listings, customers, follow-ups, contracts, commissions), with dates
/// around `today` so the reminders have work to show.
class FunctionDemo
{
public:
    /// Runs the function schema and definitions from `sqlDir`, then adds the rows.
    static jx::Result<> load(Database &db, const QString &sqlDir);
    /// The rows alone, into a database that has the tables and definitions
    /// already (jx-db init --demo, whose scripts are compiled in).
    static jx::Result<> addRows(Database &db);
    /// Adds `count` listings with ids from `firstId` on, in one transaction.
    static jx::Result<> addListings(Database &db, int firstId, int count);
    /// As addListings for benchmark databases of a million rows: the same
    /// spreads, many rows to a statement, one transaction.
    static jx::Result<> addListingsInBulk(Database &db, int firstId, int count);
    /// Adds `count` customers with ids from `firstId` on, in one transaction.
    static jx::Result<> addCustomers(Database &db, int firstId, int count);
};
