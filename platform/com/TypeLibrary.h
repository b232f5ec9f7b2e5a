#pragma once

// The type-library description a server library carries: library name,
// version and id, and its types in order (coclasses with the interfaces each
// implements, and interfaces). It is stored as text in the library's
// ".qvtypelib" ELF section (see QV_TYPE_LIBRARY) and read straight from the
// file, so that inspecting a plug-in never runs any of its code.
//
// Text format, one declaration per line ("#" starts a comment):
//   library <name> <major>.<minor> <{libid}>
//   interface <name> <{iid}>          an interface declared by this library
//   coclass <name> <{clsid}>          a creatable class
//     implements <name> <{iid}>       an interface of the preceding coclass

#include "platform/com/ComTypes.h"
#include "platform/com/Result.h"

#include <QList>
#include <QString>

#include <optional>

namespace com {

enum TypeKind { TKIND_INTERFACE = 3, TKIND_DISPATCH = 4, TKIND_COCLASS = 5 };

struct InterfaceRef
{
    QString name;
    IID iid;
};

struct TypeEntry
{
    TypeKind kind = TKIND_COCLASS;
    QString name;
    GUID guid = GUID_NULL;
    QList<InterfaceRef> implemented; // coclasses only
};

class QVCOM_EXPORT TypeLibrary
{
public:
    QString name;
    int majorVersion = 0;
    int minorVersion = 0;
    GUID libid = GUID_NULL;
    QList<TypeEntry> types;

    // Parses the description text; a failure says what is malformed.
    static jx::Result<TypeLibrary> parse(const QString &text);
    // Reads the description from a shared library file without loading it.
    static jx::Result<TypeLibrary> loadFromFile(const QString &path);

    QList<TypeEntry> coclasses() const;
    // The coclass of that name, compared without regard to letter case; first match wins.
    std::optional<TypeEntry> findCoclass(const QString &name) const;
};

} // namespace com

// Puts a type-library description into the server library being built. The
// text has internal linkage: every library has its own, and it is read from
// the file's section, never looked up by name.
#define QV_TYPE_LIBRARY(text)                                                        \
    namespace {                                                                      \
    __attribute__((section(".qvtypelib"), used)) const char qvTypeLibrary[] = text; \
    }
