// Entry points of the JXTool server library.

#include "calctools/calcTool.h"
#include "platform/com/ServerModule.h"

// The plug-in interface is listed under its name in the interface library,
// the exact name the console's plug-in scan looks for.
QV_TYPE_LIBRARY("library jxTools 1.0 {F1EAE2CE-9C84-48A4-A158-0698B93A1ED9}\n"
                "interface _calcTool {7A0618AB-5E8C-4A8A-A16C-858685A0F121}\n"
                "coclass calcTool {B3C9E1A4-6F2D-4D8B-9A7E-5C1F0D2E3A49}\n"
                "  implements _calcTool {7A0618AB-5E8C-4A8A-A16C-858685A0F121}\n"
                "  implements _IExtPluginUI {7B208C4B-37E6-4F8C-AC98-91E74163B50C}\n");

namespace {

// {B3C9E1A4-6F2D-4D8B-9A7E-5C1F0D2E3A49}
constexpr CLSID CLSID_calcTool = {0xB3C9E1A4, 0x6F2D, 0x4D8B, {0x9A, 0x7E, 0x5C, 0x1F, 0x0D, 0x2E, 0x3A, 0x49}};

const com::ServedClass kServedClasses[] = {com::servedClass<calcTool>(CLSID_calcTool)};

} // namespace

// Windows of the library may still be open at any time: it is never unloaded.
QV_SERVER_ENTRY_POINTS(kServedClasses)
