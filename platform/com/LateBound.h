#pragma once

// Late-bound calls by member name, as a caller without the callee's
// declarations makes them. A failure raises a RuntimeError in the caller with
// the callee's number, source and description.

#include "platform/com/Bstr.h"
#include "platform/com/ComPtr.h"
#include "platform/com/RuntimeError.h"
#include "platform/com/Variant.h"

#include <QString>

#include <vector>

namespace com {

// `args` in natural order; a VARIANT with VT_BYREF passes the caller's variable.
QVCOM_EXPORT Variant invoke(IDispatch *object, const QString &name, uint16_t flags, std::vector<VARIANT> args = {});

// obj.Name(args...) as a method or indexed property get.
QVCOM_EXPORT Variant call(IDispatch *object, const QString &name, const std::vector<Variant> &args = {});
// obj.Name
QVCOM_EXPORT Variant get(IDispatch *object, const QString &name);
// obj.Name = value
QVCOM_EXPORT void put(IDispatch *object, const QString &name, const Variant &value);
// obj.A.B.C: a dotted chain of property gets.
QVCOM_EXPORT Variant getPath(IDispatch *object, const QString &dottedPath);

// A by-reference argument pointing at the caller's variable.
QVCOM_EXPORT VARIANT byRef(BSTR *variable);
QVCOM_EXPORT VARIANT byRef(IDispatch **variable);
QVCOM_EXPORT VARIANT byRef(VARIANT *variable);
QVCOM_EXPORT VARIANT byRef(int32_t *variable);
QVCOM_EXPORT VARIANT byRef(int16_t *variable);

// The object held by a result, with a new reference; raises 424 (缺少对象) when none.
QVCOM_EXPORT ComPtr<IDispatch> objectOf(const Variant &value);

} // namespace com
