#include "console/startup/RuntimeClasses.h"

#include "components/data/Database.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/Guid.h"

namespace jx {

void RegisterRuntimeClasses()
{
    com::registerBuiltinClass(com::guid(kDatabaseClsid), QString::fromLatin1(kDatabaseProgId), [](REFIID iid, void **ppv) {
        auto *database = new ::Database();
        const HRESULT hr = database->QueryInterface(iid, ppv);
        database->Release(); // the caller's reference (if any) keeps it
        return hr;
    });
}

} // namespace jx
