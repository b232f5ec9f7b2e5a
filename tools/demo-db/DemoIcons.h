#pragma once

#include "platform/com/Result.h"

#include <QString>

class Database;

// Stores an icon for every navigation group and menu button of the demo menu
// (type-1 rows of xt_menuPilot); every second one as a zip archive, as an
// installation may store them. False with the reason when a row cannot be written.
jx::Result<> addDemoIcons(Database &db);
