#pragma once

class Database;

// Stores a navigation diagram for every directory of the demo menu in
// xt_menuPilot: the directory's entries in the order an agency works through
// them, joined by arrows. False, with the reason on standard error, when the
// menu holds a directory without a drawing or a drawing names a missing entry.
bool writeDemoDiagrams(Database &db);
