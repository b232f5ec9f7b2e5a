#pragma once

namespace jx {

// Class id under which the console serves the database object in process.
inline constexpr const char *kDatabaseClsid = "{1F0370F1-56CC-4DDB-BB2F-80D40CA67DC1}";

// Makes the runtime classes the console creates by ProgID creatable in this
// process ("qvDataAccessHelper.Database"), for the console and for every
// library it loads. Nothing is written to the registry file. Call once at
// program start; calling again replaces the registration.
void RegisterRuntimeClasses();

} // namespace jx
