#pragma once

namespace jxedit {

/// Bits of the signed-in user's rights on a program, as AppContext.Rights
/// answers them for his own grants and his role's together.
namespace Right {
enum Bit : int {
    Run = 1,
    Add = 2,
    Change = 4,
    Delete = 8,
    Export = 16,
    Print = 32,
    SeePhones = 64, // reveal the phones of other agents' records
    OthersRecords = 128, // change and delete other agents' records
};
} // namespace Right

} // namespace jxedit
