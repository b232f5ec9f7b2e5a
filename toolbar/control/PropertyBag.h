#pragma once

#include "toolbar/QvToolbarExport.h"
#include "toolbar/control/StdFont.h"
#include "toolbar/control/StdPicture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

namespace qvtoolbar {

// Named, typed values a host keeps for the control (strings, 16- and
// 32-bit integers, which also carry colours, Booleans, fonts and
// pictures). A value equal to its default is not stored; a missing value
// reads as its default. Save/Load turn the bag into bytes the host may
// keep wherever it keeps its forms.
class QVTOOLBAR_EXPORT PropertyBag final
{
public:
    using Value = std::variant<QString, int16_t, int32_t, bool, FontRef, PictureRef>;

    // Stores the value under the name, or removes the name when the value
    // equals the default.
    void WriteProperty(const QString &name, const Value &value, const Value &defaultValue);
    bool Contains(const QString &name) const;
    // Stored names in the order they were first written.
    QStringList Names() const;

    // Typed reads with the default for a missing name. A stored value of
    // another kind fails with com::RuntimeError "类型不匹配" (type
    // mismatch), a number outside the type's range with "溢出" (overflow).
    QString ReadString(const QString &name, const QString &defaultValue) const;
    int16_t ReadInt16(const QString &name, int16_t defaultValue) const;
    int32_t ReadInt32(const QString &name, int32_t defaultValue) const;
    bool ReadBool(const QString &name, bool defaultValue) const;
    // A font comes back as a new object of its own.
    FontRef ReadFont(const QString &name, const StdFont &defaultValue) const;
    PictureRef ReadPicture(const QString &name) const;

    QByteArray Save() const;
    // Throws com::RuntimeError naming the fault when the bytes are not a
    // saved bag (nothing is half-read).
    static PropertyBag Load(const QByteArray &bytes);

    static bool Equal(const Value &a, const Value &b);

private:
    const Value *Find(const QString &name) const;
    int64_t ReadInteger(const QString &name, int64_t defaultValue, int64_t lo, int64_t hi) const;

    std::vector<std::pair<QString, Value>> m_values;
};

} // namespace qvtoolbar
