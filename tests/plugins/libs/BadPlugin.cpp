// Libraries that misbehave in DllGetClassObject, for the plug-in manager's
// scan: BAD_NULL answers success without a factory, BAD_CRASH crashes,
// BAD_HANG never returns. Each declares one plug-in class, so the scan gets
// as far as asking for its factory.

#include "platform/com/InprocServer.h"
#include "platform/com/TypeLibrary.h"

#include <chrono>
#include <csignal>
#include <thread>

#if defined(BAD_NULL)
QV_TYPE_LIBRARY("library badNull 1.0 {0E1D2C3B-3000-4A5B-8C9D-0E1F2A3B4C50}\n"
                "coclass Broken {0E1D2C3B-3001-4A5B-8C9D-0E1F2A3B4C50}\n"
                "  implements _IExtPluginUI {7B208C4B-37E6-4F8C-AC98-91E74163B50C}\n");
#elif defined(BAD_CRASH)
QV_TYPE_LIBRARY("library badCrash 1.0 {0E1D2C3B-4000-4A5B-8C9D-0E1F2A3B4C50}\n"
                "coclass Broken {0E1D2C3B-4001-4A5B-8C9D-0E1F2A3B4C50}\n"
                "  implements _IExtPluginUI {7B208C4B-37E6-4F8C-AC98-91E74163B50C}\n");
#else
QV_TYPE_LIBRARY("library badHang 1.0 {0E1D2C3B-5000-4A5B-8C9D-0E1F2A3B4C50}\n"
                "coclass Broken {0E1D2C3B-5001-4A5B-8C9D-0E1F2A3B4C50}\n"
                "  implements _IExtPluginUI {7B208C4B-37E6-4F8C-AC98-91E74163B50C}\n");
#endif

QV_SERVER_EXPORT HRESULT DllGetClassObject(const CLSID &, const IID &, void **ppv)
{
#if defined(BAD_NULL)
    if (ppv)
        *ppv = nullptr;
    return S_OK;
#elif defined(BAD_CRASH)
    (void)ppv;
    std::raise(SIGSEGV);
    return E_FAIL;
#else
    (void)ppv;
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
#endif
}

QV_SERVER_EXPORT HRESULT DllCanUnloadNow() { return S_FALSE; }
QV_SERVER_EXPORT HRESULT DllRegisterServer() { return E_FAIL; }
QV_SERVER_EXPORT HRESULT DllUnregisterServer() { return E_FAIL; }
