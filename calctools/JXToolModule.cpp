// Entry points of the JXTool server library.

#include "calctools/calcTool.h"
#include "extplugin/IExtPluginUI.h"
#include "platform/com/ServerModule.h"

#define JXTOOL_CLSID_CALCTOOL "{B3C9E1A4-6F2D-4D8B-9A7E-5C1F0D2E3A49}"

// The plug-in interface is listed under its name in the interface library,
// the exact name the console's plug-in scan looks for.
QV_TYPE_LIBRARY("library jxTools 1.0 {F1EAE2CE-9C84-48A4-A158-0698B93A1ED9}\n"
                "interface _calcTool " JXTOOL_IID_CALCTOOL "\n"
                "coclass calcTool " JXTOOL_CLSID_CALCTOOL "\n"
                "  implements _calcTool " JXTOOL_IID_CALCTOOL "\n"
                "  implements _IExtPluginUI " QV_IID_IEXTPLUGINUI "\n");

namespace {

constexpr CLSID CLSID_calcTool = com::guidLiteral(JXTOOL_CLSID_CALCTOOL);

const com::ServedClass kServedClasses[] = {com::servedClass<calcTool>(CLSID_calcTool)};

} // namespace

// Windows of the library may still be open at any time: it is never unloaded.
QV_SERVER_ENTRY_POINTS(kServedClasses)
