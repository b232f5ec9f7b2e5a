#include "platform/com/Variant.h"

#include "platform/com/Bstr.h"
#include "platform/com/RuntimeError.h"

#include <QDateTime>

extern "C" {

void VariantInit(VARIANT *pvarg)
{
    if (!pvarg)
        return;
    std::memset(pvarg, 0, sizeof(VARIANT));
    pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT *pvarg)
{
    if (!pvarg)
        return E_INVALIDARG;
    if (!(pvarg->vt & VT_BYREF)) {
        switch (pvarg->vt) {
        case VT_BSTR:
            SysFreeString(pvarg->bstrVal);
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            if (pvarg->punkVal)
                pvarg->punkVal->Release();
            break;
        case VT_ARRAY | VT_VARIANT:
        case VT_ARRAY | VT_UI1:
            SafeArrayDestroy(pvarg->parray);
            break;
        default:
            break;
        }
    }
    VariantInit(pvarg);
    return S_OK;
}

HRESULT VariantCopy(VARIANT *pvargDest, const VARIANT *pvargSrc)
{
    if (!pvargDest || !pvargSrc)
        return E_INVALIDARG;
    if (pvargDest == pvargSrc)
        return S_OK;
    VARIANT copy = *pvargSrc;
    if (!(copy.vt & VT_BYREF)) {
        if (copy.vt == VT_BSTR && pvargSrc->bstrVal) {
            copy.bstrVal = SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
            if (!copy.bstrVal)
                return E_OUTOFMEMORY;
        } else if ((copy.vt == VT_DISPATCH || copy.vt == VT_UNKNOWN) && copy.punkVal) {
            copy.punkVal->AddRef();
        } else if (copy.vt == (VT_ARRAY | VT_VARIANT) && copy.parray) {
            const SAFEARRAY *src = pvargSrc->parray;
            copy.parray = SafeArrayCreate(VT_VARIANT, src->cDims, src->rgsabound);
            if (!copy.parray)
                return E_OUTOFMEMORY;
            const size_t n = src->cDims == 2 ? size_t(src->rgsabound[0].cElements) * src->rgsabound[1].cElements
                                             : size_t(src->rgsabound[0].cElements);
            for (size_t i = 0; i < n; ++i)
                VariantCopy(&copy.parray->pvData[i], &src->pvData[i]);
        } else if (copy.vt == (VT_ARRAY | VT_UI1) && copy.parray) {
            const SAFEARRAY *src = pvargSrc->parray;
            copy.parray = SafeArrayCreate(VT_UI1, 1, src->rgsabound);
            if (!copy.parray)
                return E_OUTOFMEMORY;
            std::memcpy(copy.parray->pvData, src->pvData, src->rgsabound[0].cElements);
        }
    }
    VariantClear(pvargDest);
    *pvargDest = copy;
    return S_OK;
}

namespace {
bool holdsBytes(const SAFEARRAY *psa) { return psa->cbElements == 1; }

size_t elementCount(const SAFEARRAY *psa)
{
    size_t n = 1;
    for (uint16_t d = 0; d < psa->cDims; ++d)
        n *= psa->rgsabound[d].cElements;
    return n;
}

// Offset of an element; indices in natural order, the first dimension varying fastest.
bool elementOffset(const SAFEARRAY *psa, const int32_t *indices, size_t *offset)
{
    if (!psa || !indices)
        return false;
    size_t off = 0, stride = 1;
    for (uint16_t i = 0; i < psa->cDims; ++i) {
        // rgsabound runs from the last dimension to the first.
        const SAFEARRAYBOUND &b = psa->rgsabound[psa->cDims - 1 - i];
        const int64_t k = int64_t(indices[i]) - b.lLbound;
        if (k < 0 || k >= int64_t(b.cElements))
            return false;
        off += size_t(k) * stride;
        stride *= b.cElements;
    }
    *offset = off;
    return true;
}
} // namespace

SAFEARRAY *SafeArrayCreate(VARTYPE vt, uint32_t cDims, const SAFEARRAYBOUND *rgsabound)
{
    if (!rgsabound || cDims < 1 || cDims > 2 || (vt != VT_VARIANT && !(vt == VT_UI1 && cDims == 1)))
        return nullptr;
    if (vt == VT_UI1) {
        auto *psa = new SAFEARRAY{};
        psa->cDims = 1;
        psa->cbElements = 1;
        psa->rgsabound[0] = rgsabound[0];
        const size_t n = rgsabound[0].cElements;
        psa->pvData = reinterpret_cast<VARIANT *>(new uint8_t[n ? n : 1]());
        return psa;
    }
    auto *psa = new SAFEARRAY{};
    psa->cDims = static_cast<uint16_t>(cDims);
    psa->cbElements = sizeof(VARIANT);
    for (uint32_t i = 0; i < cDims; ++i)
        psa->rgsabound[i] = rgsabound[i];
    const size_t n = elementCount(psa);
    // Value-initialised: every element VT_EMPTY, as VariantInit leaves it.
    psa->pvData = new VARIANT[n ? n : 1]();
    return psa;
}

HRESULT SafeArrayDestroy(SAFEARRAY *psa)
{
    if (!psa)
        return S_OK;
    if (holdsBytes(psa)) {
        delete[] reinterpret_cast<uint8_t *>(psa->pvData);
        delete psa;
        return S_OK;
    }
    const size_t n = elementCount(psa);
    for (size_t i = 0; i < n; ++i)
        VariantClear(&psa->pvData[i]);
    delete[] psa->pvData;
    delete psa;
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY *psa, const int32_t *rgIndices, void *pv)
{
    size_t off = 0;
    if (!pv || !elementOffset(psa, rgIndices, &off))
        return DISP_E_BADINDEX;
    if (holdsBytes(psa)) {
        *static_cast<uint8_t *>(pv) = reinterpret_cast<const uint8_t *>(psa->pvData)[off];
        return S_OK;
    }
    auto *out = static_cast<VARIANT *>(pv);
    VariantInit(out);
    return VariantCopy(out, &psa->pvData[off]);
}

HRESULT SafeArrayPutElement(SAFEARRAY *psa, const int32_t *rgIndices, void *pv)
{
    size_t off = 0;
    if (!pv || !elementOffset(psa, rgIndices, &off))
        return DISP_E_BADINDEX;
    if (holdsBytes(psa)) {
        reinterpret_cast<uint8_t *>(psa->pvData)[off] = *static_cast<const uint8_t *>(pv);
        return S_OK;
    }
    return VariantCopy(&psa->pvData[off], static_cast<const VARIANT *>(pv));
}

HRESULT SafeArrayGetUBound(SAFEARRAY *psa, uint32_t nDim, int32_t *plUbound)
{
    if (!psa || !plUbound || nDim < 1 || nDim > psa->cDims)
        return DISP_E_BADINDEX;
    const SAFEARRAYBOUND &b = psa->rgsabound[psa->cDims - nDim];
    *plUbound = b.lLbound + static_cast<int32_t>(b.cElements) - 1;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY *psa, uint32_t nDim, int32_t *plLbound)
{
    if (!psa || !plLbound || nDim < 1 || nDim > psa->cDims)
        return DISP_E_BADINDEX;
    *plLbound = psa->rgsabound[psa->cDims - nDim].lLbound;
    return S_OK;
}

} // extern "C"

namespace com {

Variant::Variant(const Variant &other)
{
    VariantInit(this);
    VariantCopy(this, &other);
}

Variant::Variant(Variant &&other) noexcept
{
    static_cast<VARIANT &>(*this) = other;
    VariantInit(&other);
}

Variant &Variant::operator=(const Variant &other)
{
    VariantCopy(this, &other);
    return *this;
}

Variant &Variant::operator=(Variant &&other) noexcept
{
    if (this != &other) {
        VariantClear(this);
        static_cast<VARIANT &>(*this) = other;
        VariantInit(&other);
    }
    return *this;
}

Variant Variant::null()
{
    Variant v;
    v.vt = VT_NULL;
    return v;
}

Variant Variant::fromInt16(int16_t x)
{
    Variant v;
    v.vt = VT_I2;
    v.iVal = x;
    return v;
}

Variant Variant::fromInt32(int32_t x)
{
    Variant v;
    v.vt = VT_I4;
    v.lVal = x;
    return v;
}

Variant Variant::fromSingle(float x)
{
    Variant v;
    v.vt = VT_R4;
    v.fltVal = x;
    return v;
}

Variant Variant::fromDouble(double x)
{
    Variant v;
    v.vt = VT_R8;
    v.dblVal = x;
    return v;
}

Variant Variant::fromDate(DATE x)
{
    Variant v;
    v.vt = VT_DATE;
    v.date = x;
    return v;
}

Variant Variant::fromBool(bool x)
{
    Variant v;
    v.vt = VT_BOOL;
    v.boolVal = x ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::fromString(const QString &s)
{
    Variant v;
    v.vt = VT_BSTR;
    v.bstrVal = toBstr(s);
    return v;
}

Variant Variant::fromBytes(const QByteArray &bytes)
{
    const SAFEARRAYBOUND bound{static_cast<uint32_t>(bytes.size()), 0};
    Variant v;
    v.parray = SafeArrayCreate(VT_UI1, 1, &bound);
    v.vt = VT_ARRAY | VT_UI1;
    if (!bytes.isEmpty())
        std::memcpy(v.parray->pvData, bytes.constData(), size_t(bytes.size()));
    return v;
}

Variant Variant::fromDispatch(IDispatch *object)
{
    Variant v;
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    if (object)
        object->AddRef();
    return v;
}

Variant Variant::fromUnknown(IUnknown *object)
{
    Variant v;
    v.vt = VT_UNKNOWN;
    v.punkVal = object;
    if (object)
        object->AddRef();
    return v;
}

Variant Variant::copyOf(const VARIANT &src)
{
    Variant v;
    VariantCopy(&v, &src);
    return v;
}

Variant Variant::fromQVariant(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return value.isValid() ? null() : Variant();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return fromBool(value.toBool());
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return fromInt16(static_cast<int16_t>(value.toInt()));
    case QMetaType::Int:
        return fromInt32(value.toInt());
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qlonglong n = value.toLongLong();
        if (n >= INT32_MIN && n <= INT32_MAX)
            return fromInt32(static_cast<int32_t>(n));
        return fromDouble(static_cast<double>(n));
    }
    case QMetaType::Float:
        return fromSingle(value.toFloat());
    case QMetaType::Double:
        return fromDouble(value.toDouble());
    case QMetaType::QDate:
        return fromDate(toAutomationDate(value.toDate().startOfDay()));
    case QMetaType::QDateTime:
        return fromDate(toAutomationDate(value.toDateTime()));
    case QMetaType::QByteArray:
        return fromBytes(value.toByteArray());
    case QMetaType::QString:
        return fromString(*static_cast<const QString *>(value.constData()));
    default:
        return fromString(value.toString());
    }
}

VARIANT Variant::detach()
{
    VARIANT raw = *this;
    static_cast<VARIANT &>(*this) = VARIANT{};
    return raw;
}

const VARIANT &deref(const VARIANT &v)
{
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal)
        return deref(*v.pvarVal);
    return v;
}

QVariant toQVariant(const VARIANT &in)
{
    const VARIANT &v = deref(in);
    const bool byref = v.vt & VT_BYREF;
    const VARTYPE type = v.vt & ~VT_BYREF;
    if (byref && !v.byref)
        return QVariant();
    switch (type) {
    case VT_I2:
        return QVariant::fromValue<short>(byref ? *v.piVal : v.iVal);
    case VT_I4:
        return QVariant(static_cast<int>(byref ? *v.plVal : v.lVal));
    case VT_R4:
        return QVariant(byref ? *v.pfltVal : v.fltVal);
    case VT_R8:
        return QVariant(byref ? *v.pdblVal : v.dblVal);
    case VT_DATE:
        return QVariant(fromAutomationDate(byref ? *v.pdblVal : v.date));
    case VT_BSTR:
        return QVariant(fromBstr(byref ? *v.pbstrVal : v.bstrVal));
    case VT_BOOL:
        return QVariant((byref ? *v.pboolVal : v.boolVal) != 0);
    case VT_ERROR:
        return QVariant(static_cast<int>(v.scode));
    case VT_ARRAY | VT_UI1: {
        const SAFEARRAY *psa = byref ? *static_cast<SAFEARRAY *const *>(v.byref) : v.parray;
        if (!psa)
            return QVariant(QByteArray());
        return QVariant(QByteArray(reinterpret_cast<const char *>(psa->pvData), qsizetype(psa->rgsabound[0].cElements)));
    }
    default:
        return QVariant();
    }
}

IUnknown *asUnknown(const VARIANT &in)
{
    const VARIANT &v = deref(in);
    switch (v.vt) {
    case VT_DISPATCH:
    case VT_UNKNOWN:
        return v.punkVal;
    case VT_DISPATCH | VT_BYREF:
    case VT_UNKNOWN | VT_BYREF:
        return v.ppunkVal ? *v.ppunkVal : nullptr;
    default:
        return nullptr;
    }
}

IDispatch *asDispatch(const VARIANT &in)
{
    const VARIANT &v = deref(in);
    switch (v.vt) {
    case VT_DISPATCH:
        return v.pdispVal;
    case VT_DISPATCH | VT_BYREF:
        return v.ppdispVal ? *v.ppdispVal : nullptr;
    default:
        return nullptr;
    }
}

namespace {
const QDateTime &epoch()
{
    static const QDateTime e(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return e;
}
} // namespace

DATE toAutomationDate(const QDateTime &dt)
{
    // Local wall-clock time, as the automation date has no zone.
    const QDateTime wall(dt.date(), dt.time(), Qt::UTC);
    return static_cast<double>(epoch().msecsTo(wall)) / 86400000.0;
}

QDateTime fromAutomationDate(DATE d)
{
    const QDateTime wall = epoch().addMSecs(static_cast<qint64>(d * 86400000.0 + (d >= 0 ? 0.5 : -0.5)));
    return QDateTime(wall.date(), wall.time());
}

} // namespace com

namespace com {

Variant Variant::fromRows(const QVariant *cells, int rows, int fields)
{
    const SAFEARRAYBOUND bounds[2] = {{static_cast<uint32_t>(rows), 0}, {static_cast<uint32_t>(fields), 0}};
    Variant v;
    v.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
    v.vt = VT_ARRAY | VT_VARIANT;
    const size_t n = size_t(rows) * size_t(fields);
    for (size_t i = 0; i < n; ++i)
        v.parray->pvData[i] = fromQVariant(cells[i]).detach();
    return v;
}

QVector<QVector<QVariant>> tableOf(const VARIANT &value)
{
    const VARIANT &v = deref(value);
    if (v.vt != (VT_ARRAY | VT_VARIANT) || !v.parray || v.parray->cDims != 2)
        throw RuntimeError::of(errors::TypeMismatch);
    const SAFEARRAY *psa = v.parray;
    const int fields = static_cast<int>(psa->rgsabound[1].cElements);
    const int rows = static_cast<int>(psa->rgsabound[0].cElements);
    QVector<QVector<QVariant>> cells(fields);
    for (int f = 0; f < fields; ++f) {
        QVector<QVariant> &column = cells[f];
        column.reserve(rows);
        for (int r = 0; r < rows; ++r) {
            const VARIANT &cell = psa->pvData[size_t(r) * size_t(fields) + size_t(f)];
            if (cell.vt == VT_BSTR) {
                // Built inside the variant: one allocation for the text, none for a temporary.
                QVariant &text = column.emplace_back(QMetaType::fromType<QString>(), nullptr);
                *static_cast<QString *>(text.data()) = fromBstr(cell.bstrVal);
            } else {
                column.append(toQVariant(cell));
            }
        }
    }
    return cells;
}

} // namespace com
