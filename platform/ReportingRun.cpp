#include "platform/ReportingRun.h"

#include "platform/ErrorText.h"

namespace jx {

bool runReporting(const QString &prefix, const std::function<void()> &work, int style, const QString &title,
                  const std::function<void()> &beforeBox)
{
    QString reason;
    try {
        work();
        return true;
    } catch (...) {
        reason = currentErrorText();
    }
    try {
        if (beforeBox)
            beforeBox();
        msgBox(prefix + reason, style, title);
    } catch (...) {
        logSwallowed(prefix + reason);
    }
    return false;
}

} // namespace jx
