#pragma once

#include "platform/com/Result.h"

#include <QString>

class Database;

/// Demo offers on the demo listings: open offers and counter-offers on
/// listings still on offer, withdrawn and rejected ones, and on signed
/// listings the chain that ended in the accepted offer its contract was
/// written from. Runs after the listings, customers and contracts exist.
class OfferDemo
{
public:
    static jx::Result<> add(Database &db);
};
