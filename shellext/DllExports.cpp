#include "common/PathUtil.h"
#include "shellext/ModuleState.h"
#include "shellext/Registration.h"
#include "shellext/ShellExtFactory.h"
#include "shellext/ShellExtGuid.h"

#include <windows.h>
#include <olectl.h>

#include <new>

namespace {
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        g_moduleInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (object == NULL)
        return E_POINTER;
    *object = NULL;
    if (!IsEqualCLSID(classId, kShellExtClassId))
        return CLASS_E_CLASSNOTAVAILABLE;

    CShellExtFactory* factory = new (std::nothrow) CShellExtFactory();
    if (factory == NULL)
        return E_OUTOFMEMORY;
    // The factory starts without references: the query gives it its first one,
    // and a Release balances it again when the interface is not offered.
    factory->AddRef();
    HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return LiveObjectCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    // The extension registers the folder it was loaded from, not the folder of
    // the program that loaded it.
    std::wstring folder;
    if (!GetModuleFolder(g_moduleInstance, &folder))
        return SELFREG_E_CLASS;
    return RegisterShellExtension(folder) ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    UnregisterShellExtension();
    return S_OK;
}
