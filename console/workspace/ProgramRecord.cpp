#include "console/workspace/ProgramRecord.h"

#include "components/data/Database.h"
#include "platform/Numeric.h"

namespace jx {

bool ProgramRecord::Load(int32_t programNumber)
{
    m_className.clear();
    m_commandLine.clear();
    Recordset rs = m_db.Query(QStringLiteral("SELECT progClassName,progCommandLine FROM xt_objects WHERE ProgID=")
                                  + QString::number(programNumber),
                              1)
                       .Recordset();
    if (rs.Eof())
        return false;
    m_className = toText(rs.Fields(QStringLiteral("progClassName")));
    m_commandLine = toText(rs.Fields(QStringLiteral("progCommandLine")));
    rs.Close();
    return true;
}

} // namespace jx
