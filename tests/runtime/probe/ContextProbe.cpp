// A library of its own that is handed the console's context and
// configuration by reference and reads them the only way another library
// can: late-bound, by member name. It links the object-model runtime only.

#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/LateBound.h"

#include <QStringList>

namespace {

QString text(const com::Variant &v)
{
    if (v.vt == VT_BOOL)
        return v.boolVal ? QStringLiteral("True") : QStringLiteral("False");
    return com::toQVariant(v).toString();
}

QString readAll(IDispatch *context, IDispatch *config, const QString &programs)
{
    using com::Variant;
    QStringList lines;
    lines << QStringLiteral("AppPath=") + text(com::getPath(context, QStringLiteral("Environment.AppPath")));
    lines << QStringLiteral("UserName=") + text(com::getPath(context, QStringLiteral("environment.username")));
    lines << QStringLiteral("cmdok=")
            + text(com::call(context, QStringLiteral("GetText"),
                             {Variant::fromString(QStringLiteral("main")), Variant::fromString(QStringLiteral("/login/cmdok")),
                              Variant::fromString(QStringLiteral("?"))}));
    lines << QStringLiteral("missing=")
            + text(com::call(context, QStringLiteral("GetText"),
                             {Variant::fromString(QStringLiteral("main")), Variant::fromString(QStringLiteral("/no/such/key")),
                              Variant::fromString(QStringLiteral("默认"))}));
    const Variant option = com::call(context, QStringLiteral("Option"), {Variant::fromInt32(12), Variant::fromString(QStringLiteral("menubm"))});
    lines << QStringLiteral("menubm=") + text(com::get(com::objectOf(option).get(), QStringLiteral("Value")));

    // AppContext.Database.Query(text, 1).Recordset, walked row by row.
    const Variant db = com::get(context, QStringLiteral("Database"));
    const Variant result = com::call(com::objectOf(db).get(), QStringLiteral("Query"),
                                     {Variant::fromString(QStringLiteral("select usercode, username from jx_user order by usercode")),
                                      Variant::fromInt32(1)});
    const Variant rs = com::get(com::objectOf(result).get(), QStringLiteral("Recordset"));
    IDispatch *cursor = com::objectOf(rs).get();
    QStringList users;
    while (!com::get(cursor, QStringLiteral("EOF")).boolVal) {
        const Variant field = com::call(cursor, QStringLiteral("Fields"), {Variant::fromString(QStringLiteral("UserName"))});
        users << text(com::get(com::objectOf(field).get(), QStringLiteral("Value")));
        com::call(cursor, QStringLiteral("MoveNext"));
    }
    com::call(cursor, QStringLiteral("Close"));
    lines << QStringLiteral("users=") + users.join(QLatin1Char(','));

    for (const QString &number : programs.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const Variant rights = com::call(context, QStringLiteral("Rights"), {Variant::fromInt32(number.toInt())});
        lines << QStringLiteral("rights%1=").arg(number)
                + text(com::call(com::objectOf(rights).get(), QStringLiteral("Allowed"), {Variant::fromInt32(1)}));
    }
    lines << QStringLiteral("Caption=") + text(com::get(config, QStringLiteral("Caption")));
    const Variant xml = com::get(config, QStringLiteral("XML"));
    lines << QStringLiteral("xmlsubject=")
            + text(com::call(com::objectOf(xml).get(), QStringLiteral("GetValue"),
                             {Variant::fromString(QStringLiteral("/configuration/system/subject"))}));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

// Reads every member the test expects; a run-time error comes back as a
// failed HRESULT with the error record, as across any library boundary.
extern "C" __attribute__((visibility("default"))) HRESULT ProbeContext(IDispatch **context, IDispatch **config, BSTR programs, BSTR *report)
{
    return com::guarded([&] {
        if (!context || !*context || !config || !*config || !report)
            throw com::RuntimeError::of(com::errors::ObjectRequired, QStringLiteral("ContextProbe"));
        *report = com::toBstr(readAll(*context, *config, com::fromBstr(programs)));
        return S_OK;
    });
}
