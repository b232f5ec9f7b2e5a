#pragma once

#include "platform/com/Result.h"

#include <QDate>
#include <QString>

class Database;

/// Demo viewings over the demo listings, customers and agents: the past three
/// months (most done, with feedback that became the customers' follow-ups,
/// some cancelled) and the coming two weeks (booked), a few of them today,
/// never two of one agent or of one listing at the same time.
class ViewingDemo
{
public:
    /// Adds the viewings (ids from 1) in one transaction; `today` is the day they are spread around.
    static jx::Result<> add(Database &db, const QDate &today);
    static constexpr int kPast = 260;
    static constexpr int kComing = 70;
};
