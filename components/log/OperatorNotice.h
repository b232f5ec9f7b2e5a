#pragma once

#include "jx_components_export.h"

#include <QString>

#include <cstdint>
#include <functional>

/// How entries of kinds 2, 4 and 8 reach the operator. Tests replace the
/// handler to capture the notices instead of showing a message box.
namespace OperatorNotice {
enum class Icon { Information, Exclamation, Critical };
using Handler = std::function<void(Icon icon, const QString &title, const QString &text)>;

/// Installs a handler; an empty one restores the message box. Returns the previous one.
JX_COMPONENTS_EXPORT Handler setHandler(Handler handler);
/// Icon for a log kind: 2 information, 4 exclamation, 8 critical; false for other kinds.
bool iconForKind(int32_t kind, Icon &icon);
/// Shows one notice through the installed handler.
JX_COMPONENTS_EXPORT void show(Icon icon, const QString &title, const QString &text);

/// While one lives, a notice with exactly this text is not shown: whoever
/// logs it has already shown the operator that text in a box of its own.
class JX_COMPONENTS_EXPORT AlreadyShown final
{
public:
    explicit AlreadyShown(const QString &text);
    ~AlreadyShown();
    AlreadyShown(const AlreadyShown &) = delete;
    AlreadyShown &operator=(const AlreadyShown &) = delete;
};
}
