#include "components/context/CompanyInfo.h"

QString CompanyInfo::DisplayName() const
{
    const QString name = m_CoName.trimmed();
    return name.isEmpty() ? m_EName.trimmed() : name;
}
