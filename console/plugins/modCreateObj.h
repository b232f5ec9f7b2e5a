#pragma once

// Registration-free plug-in loading: finds the plug-in classes of the
// libraries in the program's Plugin folder by reading each library's
// type-library description (no library code runs for that) and creates their
// objects by ProgID when the class is registered, otherwise straight from the
// library file. Libraries loaded for a creation stay loaded; a later creation
// from the same path reuses them.

#include "extplugin/IExtPluginUI.h"
#include "platform/com/ComPtr.h"
#include "platform/com/TypeLibrary.h"

#include <QList>
#include <QString>

namespace jx {

// One plug-in class found in a library.
// How a plug-in object was made: the manager's list keeps it as its flag column.
enum PluginCreation : int {
    CreatedFromFile = 0,
    CreatedByProgId = 1,
};

struct PluginDescriptor
{
    QString path;      // full path of the library file
    QString progId;    // type-library name + "." + class name, both trimmed
    QString className; // the coclass name, trimmed
    int registered = CreatedFromFile; // how the object was made, shown in the list's flag column
};

struct PluginRow
{
    PluginDescriptor descriptor;
    QString friendlyName;
    QString author;
    QString description;
};

// A library of the folder that yielded no plug-in, and why.
struct PluginRejection
{
    QString path;
    QString reason;
};

struct PluginScan
{
    QList<PluginRow> rows;            // in scan order
    QList<PluginRejection> rejected; // in scan order
};

struct CoClass
{
    QString name;
    CLSID clsid = GUID_NULL;
};

// The library files of the Plugin folder, by name.
QStringList PluginLibraries(const QString &programFolder);

// Scans programFolder's Plugin folder; each class found is created, handed
// `context` through Init, asked for its texts and cleared. A library that
// raises an error is logged ("LoadPlugin" + the description, kind 8) and
// skipped; the scan goes on with the next one.
PluginScan LoadPlugin(IDispatch *context, const QString &programFolder);

// One library's part of LoadPlugin, without logging: its rows, or its
// rejection with the reason. plugin-host runs it for the manager's scan.
PluginScan ScanLibrary(IDispatch *context, const QString &path);

// The plug-in object of a class: by ProgID when HKEY_CLASSES_ROOT\<ProgID>
// exists (CreatedByProgId), otherwise from the file (CreatedFromFile); null when
// the file gave no object (the failure then says why). Raises when an object
// came but is no plug-in, or the registered class cannot be created.
// `description`, when given, is the library's type library already read, so
// the file is not read again.
jx::Result<com::ComPtr<IExtPluginUI>> CreatePluginObject(const QString &path, const QString &progId,
                                                         const QString &className, int *registered = nullptr,
                                                         const com::TypeLibrary *description = nullptr);

// The object of a library's class (name compared in any letter case); a
// failure with the reason when it cannot be created.
jx::Result<com::ComPtr<IUnknown>> CreateObjectFromFile(const QString &path, const QString &className,
                                                       const com::TypeLibrary *description = nullptr);

// The coclasses of a library's type library, in its order; a failure with the
// reason when the file carries no readable description.
jx::Result<QList<CoClass>> GetCoClasses(const QString &path);

} // namespace jx
