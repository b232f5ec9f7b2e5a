// Entry points of the JxEdit server library.

#include "jxedit/AgendaControl.h"
#include "jxedit/AlertControl.h"
#include "jxedit/EditControl.h"
#include "jxedit/OverviewControl.h"
#include "jxedit/QueryControl.h"
#include "jxedit/ReportControl.h"

#include "platform/com/ServerModule.h"

QV_TYPE_LIBRARY("library JxEdit 1.0 {F89E764A-2A7C-4819-A73C-83CA804BABE1}\n"
                "interface _oedit {693AE27E-CBDE-4799-858E-6130E81BAECC}\n"
                "interface _oReport {5890F07F-F383-4E2B-8313-C503CCF8E9CA}\n"
                "interface _oeditrpt {DBBF8C68-5908-482A-A35F-B0C9F1B18886}\n"
                "interface _oquery {976AC054-5A8C-4632-85D0-9F9510ADB675}\n"
                "interface _oalert {781BF06B-A673-4B12-BC83-EAE499584CA5}\n"
                "coclass oedit {E3CC7D1F-C512-4E0C-BF29-67A65491D4DC}\n"
                "  implements _oedit {693AE27E-CBDE-4799-858E-6130E81BAECC}\n"
                "coclass oReport {32A8BE8A-71E1-4192-A362-36BBC76055A5}\n"
                "  implements _oReport {5890F07F-F383-4E2B-8313-C503CCF8E9CA}\n"
                "coclass oeditrpt {3845085A-6F36-41B4-B4A7-D3D0D02789C7}\n"
                "  implements _oeditrpt {DBBF8C68-5908-482A-A35F-B0C9F1B18886}\n"
                "coclass oquery {DF57DFF3-CAF8-44DA-B0B4-C78D4F6DB500}\n"
                "  implements _oquery {976AC054-5A8C-4632-85D0-9F9510ADB675}\n"
                "coclass oalert {A04B87E5-3933-467A-B862-3D8AD623FC96}\n"
                "  implements _oalert {781BF06B-A673-4B12-BC83-EAE499584CA5}\n"
                // The manager's overview.
                "interface _ooverview {554173D5-3105-43FF-987A-0C7235AF3F91}\n"
                "coclass ooverview {ED1ABCF3-C7C8-47BC-8347-7704250022AB}\n"
                "  implements _ooverview {554173D5-3105-43FF-987A-0C7235AF3F91}\n"
                // The viewings' agenda.
                "interface _oagenda {0E7B5C2A-9D41-4F86-A3C8-5B1D2E6F7A90}\n"
                "coclass oagenda {6C3F1A8E-2B74-4D9A-8E15-F0A7C3D92B46}\n"
                "  implements _oagenda {0E7B5C2A-9D41-4F86-A3C8-5B1D2E6F7A90}\n");

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
    com::servedClass<jxedit::EditControl>(com::guid("{E3CC7D1F-C512-4E0C-BF29-67A65491D4DC}")),
    com::servedClass<oReport>(com::guid("{32A8BE8A-71E1-4192-A362-36BBC76055A5}")),
    com::servedClass<oeditrpt>(com::guid("{3845085A-6F36-41B4-B4A7-D3D0D02789C7}")),
    com::servedClass<jxedit::QueryControl>(com::guid("{DF57DFF3-CAF8-44DA-B0B4-C78D4F6DB500}")),
    com::servedClass<jxedit::AlertControl>(com::guid("{A04B87E5-3933-467A-B862-3D8AD623FC96}")),
    com::servedClass<jxedit::OverviewControl>(com::guid("{ED1ABCF3-C7C8-47BC-8347-7704250022AB}")),
    com::servedClass<jxedit::AgendaControl>(com::guid("{6C3F1A8E-2B74-4D9A-8E15-F0A7C3D92B46}")),
};

} // namespace

// Function windows may be open at any time: the library is never unloaded.
QV_SERVER_ENTRY_POINTS(kServedClasses)
