#include "components/context/RunEnvironment.h"

namespace {
using Env = RunEnvironment;
using TextGet = QString (Env::*)() const;
using TextSet = void (Env::*)(const QString &);

com::MemberTable<Env> &addText(com::MemberTable<Env> &table, const char *name, TextGet get, TextSet set)
{
    return table.add(
        QLatin1String(name), [get](Env &self, const com::DispArgs &) { return com::Variant::fromString((self.*get)()); },
        [set](Env &self, const com::DispArgs &, const VARIANT &v) { (self.*set)(com::toQVariant(v).toString()); });
}
} // namespace

const com::MemberTable<RunEnvironment> &RunEnvironment::members()
{
    static const com::MemberTable<Env> table = [] {
        com::MemberTable<Env> t;
        addText(t, "UserName", &Env::UserName, &Env::SetUserName);
        addText(t, "UserCode", &Env::UserCode, &Env::SetUserCode);
        addText(t, "AppPath", &Env::AppPath, &Env::SetAppPath);
        addText(t, "Caption", &Env::Caption, &Env::SetCaption);
        addText(t, "ConfigFile", &Env::ConfigFile, &Env::SetConfigFile);
        addText(t, "TempPath", &Env::TempPath, &Env::SetTempPath);
        t.add(
            QStringLiteral("OperationDate"),
            [](Env &self, const com::DispArgs &) {
                return self.OperationDate().isValid() ? com::Variant::fromDate(com::toAutomationDate(self.OperationDate().startOfDay()))
                                                      : com::Variant();
            },
            [](Env &self, const com::DispArgs &, const VARIANT &v) { self.SetOperationDate(com::toQVariant(v).toDate()); });
        return t;
    }();
    return table;
}
