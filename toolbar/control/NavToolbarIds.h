#pragma once

// Identifiers hosts bind to: classes, interfaces and the dispatch
// identifiers of the event interface __NavToolbar.

#include "platform/com/ComTypes.h"
#include "platform/com/Guid.h"

#include <cstdint>

// Each identifier as text once: the library's type description and the
// values below are both made from it.
#define QVTOOLBAR_LIBID_QVTOOLBAR "{E83F7AC1-8CC6-4663-8166-88A4F52D3318}"
#define QVTOOLBAR_CLSID_NAVTOOLBAR "{575962D2-52CE-465D-9152-32070A2F8602}"
#define QVTOOLBAR_IID_NAVTOOLBAR "{EC73D5A3-7E17-4959-B29F-63759FBF0696}"
#define QVTOOLBAR_DIID__NAVTOOLBAR "{E97362D8-93D9-4496-8B0F-9DC478936976}"
#define QVTOOLBAR_CLSID_PPGTOOLBAR "{883ACF3C-175D-46EA-99E3-25A4D594C8A2}"
#define QVTOOLBAR_IID_PPGTOOLBAR "{DFEE2AAE-1ECD-4E21-AA3B-948CB5F019CA}"
#define QVTOOLBAR_CLSID_CLSITEMS "{ADAE7CD0-D99E-4115-9A66-F8E14C3DF207}"
#define QVTOOLBAR_IID_CLSITEMS "{90F3658F-863C-4965-B9E7-2984BF9F524C}"
#define QVTOOLBAR_CLSID_CLSTOOLBARITEM "{9D34BEE4-4C8D-4D1C-9D94-3AE7F0E6C5DD}"
#define QVTOOLBAR_IID_CLSTOOLBARITEM "{FD3577D3-D6B5-40C9-B635-ED969937A985}"

namespace qvtoolbar {

constexpr GUID LIBID_qvToolbar = com::guidLiteral(QVTOOLBAR_LIBID_QVTOOLBAR);
constexpr GUID CLSID_NavToolbar = com::guidLiteral(QVTOOLBAR_CLSID_NAVTOOLBAR);
constexpr GUID IID__NavToolbar = com::guidLiteral(QVTOOLBAR_IID_NAVTOOLBAR);
constexpr GUID DIID___NavToolbar = com::guidLiteral(QVTOOLBAR_DIID__NAVTOOLBAR);
constexpr GUID CLSID_ppgToolbar = com::guidLiteral(QVTOOLBAR_CLSID_PPGTOOLBAR);
constexpr GUID IID__ppgToolbar = com::guidLiteral(QVTOOLBAR_IID_PPGTOOLBAR);
constexpr GUID CLSID_clsItems = com::guidLiteral(QVTOOLBAR_CLSID_CLSITEMS);
constexpr GUID IID__clsItems = com::guidLiteral(QVTOOLBAR_IID_CLSITEMS);
constexpr GUID CLSID_clsToolbarItem = com::guidLiteral(QVTOOLBAR_CLSID_CLSTOOLBARITEM);
constexpr GUID IID__clsToolbarItem = com::guidLiteral(QVTOOLBAR_IID_CLSTOOLBARITEM);

// Dispatch identifiers of __NavToolbar, in slot order.
namespace dispid {
constexpr DISPID HoverItem = 1;
constexpr DISPID ItemClick = 2;
constexpr DISPID DropdownClick = 5;
constexpr DISPID MouseRightClick = 3;
constexpr DISPID ThemeChanged = 4;
} // namespace dispid

} // namespace qvtoolbar
