#pragma once

// The subset of automation variants the product uses: empty, Null, 16- and
// 32-bit integers, single, double, date, string, Boolean (-1/0), error,
// object, byte array (binary fields) and by-reference values.

#include "platform/com/Unknown.h"

#include <QVariant>

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
};

struct SAFEARRAY;

struct VARIANT
{
    VARTYPE vt;
    uint16_t wReserved1;
    uint16_t wReserved2;
    uint16_t wReserved3;
    union {
        int16_t iVal;
        int32_t lVal;
        float fltVal;
        double dblVal;
        DATE date;
        BSTR bstrVal;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        IUnknown *punkVal;
        IDispatch *pdispVal;
        int16_t *piVal;
        int32_t *plVal;
        float *pfltVal;
        double *pdblVal;
        BSTR *pbstrVal;
        VARIANT_BOOL *pboolVal;
        IUnknown **ppunkVal;
        IDispatch **ppdispVal;
        VARIANT *pvarVal;
        void *byref;
        SAFEARRAY *parray;
    };
};

// Arrays of variants (VT_ARRAY | VT_VARIANT), up to two dimensions, as a bulk
// read of rows hands them out, and one-dimensional byte arrays
// (VT_ARRAY | VT_UI1, cbElements 1, pvData then pointing at the bytes), as a
// binary field travels.
struct SAFEARRAYBOUND
{
    uint32_t cElements;
    int32_t lLbound;
};

struct SAFEARRAY
{
    uint16_t cDims;
    uint16_t fFeatures;
    uint32_t cbElements;
    uint32_t cLocks;
    VARIANT *pvData;
    SAFEARRAYBOUND rgsabound[2]; // rgsabound[0] is the rightmost (last) dimension
};

struct DISPPARAMS
{
    VARIANT *rgvarg; // arguments in reverse order, as the platform passes them
    DISPID *rgdispidNamedArgs;
    uint32_t cArgs;
    uint32_t cNamedArgs;
};

struct EXCEPINFO
{
    uint16_t wCode;
    uint16_t wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    uint32_t dwHelpContext;
    void *pvReserved;
    void *pfnDeferredFillIn;
    HRESULT scode;
};

extern "C" {
QVCOM_EXPORT void VariantInit(VARIANT *pvarg);
// Frees a string, releases an object, then leaves the variant empty.
QVCOM_EXPORT HRESULT VariantClear(VARIANT *pvarg);
// Deep-copies strings and arrays and adds references to objects; by-reference values stay references.
QVCOM_EXPORT HRESULT VariantCopy(VARIANT *pvargDest, const VARIANT *pvargSrc);
// A zero-filled (empty variants) array of variants (`vt` VT_VARIANT, cDims 1 or 2)
// or of bytes (`vt` VT_UI1, cDims 1).
QVCOM_EXPORT SAFEARRAY *SafeArrayCreate(VARTYPE vt, uint32_t cDims, const SAFEARRAYBOUND *rgsabound);
QVCOM_EXPORT HRESULT SafeArrayDestroy(SAFEARRAY *psa);
// Indices in natural order (first dimension first), as the caller writes a(i, j).
QVCOM_EXPORT HRESULT SafeArrayGetElement(SAFEARRAY *psa, const int32_t *rgIndices, void *pv);
QVCOM_EXPORT HRESULT SafeArrayPutElement(SAFEARRAY *psa, const int32_t *rgIndices, void *pv);
QVCOM_EXPORT HRESULT SafeArrayGetUBound(SAFEARRAY *psa, uint32_t nDim, int32_t *plUbound);
QVCOM_EXPORT HRESULT SafeArrayGetLBound(SAFEARRAY *psa, uint32_t nDim, int32_t *plLbound);
}

namespace com {

// Owning wrapper that clears itself.
class QVCOM_EXPORT Variant : public VARIANT
{
public:
    // Inline: a bulk read makes and empties a variant per cell.
    Variant() : VARIANT{} {}
    Variant(const Variant &other);
    Variant(Variant &&other) noexcept;
    Variant &operator=(const Variant &other);
    Variant &operator=(Variant &&other) noexcept;
    ~Variant()
    {
        if (vt != VT_EMPTY)
            VariantClear(this);
    }

    static Variant null();
    static Variant fromInt16(int16_t v);
    static Variant fromInt32(int32_t v);
    static Variant fromSingle(float v);
    static Variant fromDouble(double v);
    static Variant fromDate(DATE v);
    static Variant fromBool(bool v);
    static Variant fromString(const QString &s);
    // A byte array (VT_ARRAY | VT_UI1) holding a copy of `bytes`.
    static Variant fromBytes(const QByteArray &bytes);
    // Takes a new reference to the object (null gives an object variant holding Nothing).
    static Variant fromDispatch(IDispatch *object);
    static Variant fromUnknown(IUnknown *object);
    // Wraps a copy of a plain VARIANT.
    static Variant copyOf(const VARIANT &v);
    // Conversion from the values the product keeps inside a module.
    static Variant fromQVariant(const QVariant &value);
    // A two-dimensional array a(field, row) of `rows` rows of `fields` cells
    // stored one row after the other (cells[row * fields + field]), which is
    // the array's own order.
    static Variant fromRows(const QVariant *cells, int rows, int fields);

    bool isEmpty() const { return vt == VT_EMPTY; }
    bool isNull() const { return vt == VT_NULL; }
    // Releases what the variant holds and hands the raw value out (for out parameters).
    VARIANT detach();
};

// The value a variant holds, following by-reference values; Null and empty give an
// invalid QVariant, a byte array a QByteArray, objects give a QVariant holding no value (use asDispatch).
QVCOM_EXPORT QVariant toQVariant(const VARIANT &v);
// The dereferenced variant (for VT_BYREF values); plain variants come back as they are.
QVCOM_EXPORT const VARIANT &deref(const VARIANT &v);
// The object a variant holds (no new reference), or null.
QVCOM_EXPORT IDispatch *asDispatch(const VARIANT &v);
QVCOM_EXPORT IUnknown *asUnknown(const VARIANT &v);

// The cells of a two-dimensional array variant, cells[first index][second index];
// raises type mismatch for anything else.
QVCOM_EXPORT QVector<QVector<QVariant>> tableOf(const VARIANT &v);

// Days since 1899-12-30, the automation date.
QVCOM_EXPORT DATE toAutomationDate(const QDateTime &dt);
QVCOM_EXPORT QDateTime fromAutomationDate(DATE d);

} // namespace com
