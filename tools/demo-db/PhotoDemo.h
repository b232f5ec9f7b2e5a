#pragma once

#include "platform/com/Result.h"

#include <QImage>
#include <QString>

class Database;

/// Photos and floor plans for the demo listings, drawn rather than shipped:
/// a façade in a colour of each listing's own with its code, rooms seen from
/// inside, and a floor plan kept as the listing's document. They go in the
/// way a user's files do, scaled once into a display copy and a thumbnail.
class PhotoDemo
{
public:
    /// Adds 2 to 5 photos and a floor plan to each of the first `listings` listings.
    static jx::Result<> add(Database &db, int listings);

    /// The front of the building of listing `code`, in the listing's colour.
    static QImage facade(int id, const QString &code, const QString &community);
    /// A room seen from inside: `room` 0 the living room, 1 a bedroom, 2 the kitchen.
    static QImage room(int id, int room, const QString &code);
    /// A floor plan of `rooms` bedrooms.
    static QImage floorPlan(int rooms, const QString &code);
};
