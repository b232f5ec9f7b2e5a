#pragma once

#include <QString>

class Database;

/// The agency's business tables, the function definitions and realistic demo
/// rows (listings, customers, follow-ups, contracts, commissions), with dates
/// around `today` so the reminders have work to show.
class FunctionDemo
{
public:
    /// Runs the function schema and definitions from `sqlDir`, then adds the rows.
    static bool load(Database &db, const QString &sqlDir, QString &why);
    /// The demo rows alone, into tables that are there already (jx-db init --demo).
    static bool addRows(Database &db, QString &why);
    /// Adds `count` listings with ids from `firstId` on, in one transaction.
    static bool addListings(Database &db, int firstId, int count, QString &why);
    /// As addListings for benchmark databases of a million rows: the same
    /// spreads, many rows to a statement, one transaction.
    static bool addListingsInBulk(Database &db, int firstId, int count, QString &why);
    /// Adds `count` customers with ids from `firstId` on, in one transaction.
    static bool addCustomers(Database &db, int firstId, int count, QString &why);
};
