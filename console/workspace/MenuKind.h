#pragma once

#include <cstdint>

namespace jx {

// The kinds of menu entry (xt_menu.menucatalog) the console tells apart:
// which function control an entry opens, what it is handed, or that it runs
// a plug-in instead.
namespace MenuKind {
// The plug-in manager, when the entry's program is frmPluginRun::kProgramNumber.
inline constexpr int32_t PluginManager = 50;
// A record form (JxEdit.oedit), handed the record to open and the mode.
inline constexpr int32_t Edit = 100;
// A report (JxEdit.oReport), handed its caption.
inline constexpr int32_t Report = 101;
// A report with an entry form (JxEdit.oeditrpt), handed its parameter object.
inline constexpr int32_t ReportEntry = 102;
// A query list (JxEdit.oquery), handed its caption.
inline constexpr int32_t Query = 103;
// The manager's overview (JxEdit.ooverview).
inline constexpr int32_t Overview = 104;
// A second kind of record form, opened the same way.
inline constexpr int32_t Edit2 = 105;
// The viewings' agenda (JxEdit.oagenda).
inline constexpr int32_t Agenda = 106;
// The reminder list (JxEdit.oalert); with program number 0 a function still.
inline constexpr int32_t Alert = 220;
// A plug-in run by its ProgID.
inline constexpr int32_t Plugin = 230;

// Kinds whose control is handed the record to open.
constexpr bool takesRecord(int32_t kind) { return kind == Edit || kind == Edit2; }
// Kinds whose control is handed the menu entry's caption.
constexpr bool takesCaption(int32_t kind) { return kind == Report || kind == Query; }
} // namespace MenuKind

} // namespace jx
