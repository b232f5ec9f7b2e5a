// Entry points of the JxEdit server library.

#include "jxedit/AgendaControl.h"
#include "jxedit/AlertControl.h"
#include "jxedit/EditControl.h"
#include "jxedit/OverviewControl.h"
#include "jxedit/QueryControl.h"
#include "jxedit/ReportControl.h"

#include "platform/com/ServerModule.h"

// Each identifier written once: the description text and the constants below come from the same literal.
#define JXEDIT_IID_OEDIT "{693AE27E-CBDE-4799-858E-6130E81BAECC}"
#define JXEDIT_IID_OREPORT "{5890F07F-F383-4E2B-8313-C503CCF8E9CA}"
#define JXEDIT_IID_OEDITRPT "{DBBF8C68-5908-482A-A35F-B0C9F1B18886}"
#define JXEDIT_IID_OQUERY "{976AC054-5A8C-4632-85D0-9F9510ADB675}"
#define JXEDIT_IID_OALERT "{781BF06B-A673-4B12-BC83-EAE499584CA5}"
#define JXEDIT_IID_OOVERVIEW "{554173D5-3105-43FF-987A-0C7235AF3F91}"
#define JXEDIT_IID_OAGENDA "{0E7B5C2A-9D41-4F86-A3C8-5B1D2E6F7A90}"
#define JXEDIT_CLSID_OEDIT "{E3CC7D1F-C512-4E0C-BF29-67A65491D4DC}"
#define JXEDIT_CLSID_OREPORT "{32A8BE8A-71E1-4192-A362-36BBC76055A5}"
#define JXEDIT_CLSID_OEDITRPT "{3845085A-6F36-41B4-B4A7-D3D0D02789C7}"
#define JXEDIT_CLSID_OQUERY "{DF57DFF3-CAF8-44DA-B0B4-C78D4F6DB500}"
#define JXEDIT_CLSID_OALERT "{A04B87E5-3933-467A-B862-3D8AD623FC96}"
#define JXEDIT_CLSID_OOVERVIEW "{ED1ABCF3-C7C8-47BC-8347-7704250022AB}"
#define JXEDIT_CLSID_OAGENDA "{6C3F1A8E-2B74-4D9A-8E15-F0A7C3D92B46}"

QV_TYPE_LIBRARY("library JxEdit 1.0 {F89E764A-2A7C-4819-A73C-83CA804BABE1}\n"
                "interface _oedit " JXEDIT_IID_OEDIT "\n"
                "interface _oReport " JXEDIT_IID_OREPORT "\n"
                "interface _oeditrpt " JXEDIT_IID_OEDITRPT "\n"
                "interface _oquery " JXEDIT_IID_OQUERY "\n"
                "interface _oalert " JXEDIT_IID_OALERT "\n"
                "coclass oedit " JXEDIT_CLSID_OEDIT "\n"
                "  implements _oedit " JXEDIT_IID_OEDIT "\n"
                "coclass oReport " JXEDIT_CLSID_OREPORT "\n"
                "  implements _oReport " JXEDIT_IID_OREPORT "\n"
                "coclass oeditrpt " JXEDIT_CLSID_OEDITRPT "\n"
                "  implements _oeditrpt " JXEDIT_IID_OEDITRPT "\n"
                "coclass oquery " JXEDIT_CLSID_OQUERY "\n"
                "  implements _oquery " JXEDIT_IID_OQUERY "\n"
                "coclass oalert " JXEDIT_CLSID_OALERT "\n"
                "  implements _oalert " JXEDIT_IID_OALERT "\n"
                // The manager's overview.
                "interface _ooverview " JXEDIT_IID_OOVERVIEW "\n"
                "coclass ooverview " JXEDIT_CLSID_OOVERVIEW "\n"
                "  implements _ooverview " JXEDIT_IID_OOVERVIEW "\n"
                // The viewings' agenda.
                "interface _oagenda " JXEDIT_IID_OAGENDA "\n"
                "coclass oagenda " JXEDIT_CLSID_OAGENDA "\n"
                "  implements _oagenda " JXEDIT_IID_OAGENDA "\n");

namespace {

// The class factory creates by default construction; the two report classes
// differ only in asking for parameters.
class oReport final : public jxedit::ReportControl
{
public:
    oReport() : ReportControl(false) {}
};

class oeditrpt final : public jxedit::ReportControl
{
public:
    oeditrpt() : ReportControl(true) {}
};

const com::ServedClass kServedClasses[] = {
    com::servedClass<jxedit::EditControl>(com::guidLiteral(JXEDIT_CLSID_OEDIT)),
    com::servedClass<oReport>(com::guidLiteral(JXEDIT_CLSID_OREPORT)),
    com::servedClass<oeditrpt>(com::guidLiteral(JXEDIT_CLSID_OEDITRPT)),
    com::servedClass<jxedit::QueryControl>(com::guidLiteral(JXEDIT_CLSID_OQUERY)),
    com::servedClass<jxedit::AlertControl>(com::guidLiteral(JXEDIT_CLSID_OALERT)),
    com::servedClass<jxedit::OverviewControl>(com::guidLiteral(JXEDIT_CLSID_OOVERVIEW)),
    com::servedClass<jxedit::AgendaControl>(com::guidLiteral(JXEDIT_CLSID_OAGENDA)),
};

} // namespace

// Function windows may be open at any time: the library is never unloaded.
QV_SERVER_ENTRY_POINTS(kServedClasses)
