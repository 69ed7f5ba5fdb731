// Lists the context menu that the installed extension adds for one file, as
// the file manager would build it, for the setup test (tests/setup/SetupTest.sh).
//
//   setup_menuprobe.exe HKLM|HKCU <file>
//
// HKLM: the object comes from COM (CoCreateInstance), which reads the
// machine's classes. HKCU: COM under Wine reads only the machine's classes,
// while Windows merges the user's classes (HKCU\Software\Classes) over them;
// the probe does what that merged lookup does: it reads the server path of
// the class from the user's classes (64-bit view), loads that DLL and asks its
// class factory.
//
// Output on standard output, one fact a line:
//   module <full path of the DLL the object's code lives in, UTF-8>
//   item <menu item text in the ANSI code page, as hex>
// Exit code 0 when the object was made and its menu queried; otherwise a line
// on standard error and a non-zero code.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <stdio.h>

#include <string>

namespace {

// {5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}, shellext/ShellExtGuid.h
const CLSID kExtensionClass = {0x5d0c3a71, 0x9b2e, 0x4f6a, {0x8c, 0x13, 0x2e, 0x7b, 0x94, 0xa0, 0xd6, 0xf5}};
const wchar_t kUserServerKey[] =
    L"Software\\Classes\\CLSID\\{5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}\\InProcServer32";

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFunction)(REFCLSID, REFIID, void**);

int Fail(const char* what, HRESULT result)
{
    fprintf(stderr, "menuprobe: %s failed (0x%08lx)\n", what, static_cast<unsigned long>(result));
    return 1;
}

std::string Utf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, NULL, 0, NULL, NULL);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, NULL, NULL);
    return out;
}

// The user's registration of the class, loaded as the merged classes view
// would load it. The module stays loaded for the life of the process.
HRESULT CreateFromUserClasses(IShellExtInit** init)
{
    wchar_t server[MAX_PATH * 2] = L"";
    DWORD size = sizeof(server);
    LONG read = RegGetValueW(HKEY_CURRENT_USER, kUserServerKey, NULL, RRF_RT_REG_SZ, NULL,
                             server, &size);
    if (read != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(read);
    HMODULE module = LoadLibraryW(server);
    if (module == NULL)
        return HRESULT_FROM_WIN32(GetLastError());
    GetClassObjectFunction getClassObject =
        reinterpret_cast<GetClassObjectFunction>(GetProcAddress(module, "DllGetClassObject"));
    if (getClassObject == NULL)
        return HRESULT_FROM_WIN32(GetLastError());
    IClassFactory* factory = NULL;
    HRESULT result = getClassObject(kExtensionClass, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(result))
        return result;
    result = factory->CreateInstance(NULL, IID_IShellExtInit, reinterpret_cast<void**>(init));
    factory->Release();
    return result;
}

// The shell's own data object for one file, as the file manager hands it to a
// menu handler.
HRESULT CreateDataObject(const wchar_t* path, IDataObject** data)
{
    PIDLIST_ABSOLUTE item = NULL;
    HRESULT result = SHParseDisplayName(path, NULL, &item, 0, NULL);
    if (FAILED(result))
        return result;
    IShellFolder* parent = NULL;
    PCUITEMID_CHILD child = NULL;
    result = SHBindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(&parent), &child);
    if (SUCCEEDED(result))
    {
        result = parent->GetUIObjectOf(NULL, 1, &child, IID_IDataObject, NULL, reinterpret_cast<void**>(data));
        parent->Release();
    }
    CoTaskMemFree(item);
    return result;
}

// The file of the module that holds the object's code: its first vtable entry
// lies in that module.
std::wstring ModuleOfObject(IUnknown* object)
{
    void* code = **reinterpret_cast<void***>(object);
    HMODULE module = NULL;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(code), &module))
        return L"";
    wchar_t path[MAX_PATH * 2] = L"";
    GetModuleFileNameW(module, path, MAX_PATH * 2);
    return path;
}

void PrintItems(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
    {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info) || (info.fType & MFT_SEPARATOR))
            continue;
        char text[256] = "";
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        printf("item ");
        for (const char* c = text; *c != '\0'; ++c)
            printf("%02x", static_cast<unsigned char>(*c));
        printf("\n");
    }
}

int Probe(bool userClasses, const wchar_t* file)
{
    IShellExtInit* init = NULL;
    HRESULT result = userClasses ? CreateFromUserClasses(&init)
                                 : CoCreateInstance(kExtensionClass, NULL, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                                    reinterpret_cast<void**>(&init));
    if (FAILED(result))
        return Fail("creating the extension", result);
    printf("module %s\n", Utf8(ModuleOfObject(init)).c_str());

    int status = 0;
    IDataObject* data = NULL;
    IContextMenu* contextMenu = NULL;
    HMENU menu = CreatePopupMenu();
    if (FAILED(result = CreateDataObject(file, &data)))
        status = Fail("making the data object", result);
    else if (FAILED(result = init->Initialize(NULL, data, NULL)))
        status = Fail("IShellExtInit::Initialize", result);
    else if (FAILED(result = init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&contextMenu))))
        status = Fail("QueryInterface(IContextMenu)", result);
    else if (FAILED(result = contextMenu->QueryContextMenu(menu, 0, 1, 0x7fff, CMF_NORMAL)))
        status = Fail("QueryContextMenu", result);
    else
        PrintItems(menu);
    DestroyMenu(menu);
    if (contextMenu != NULL)
        contextMenu->Release();
    if (data != NULL)
        data->Release();
    init->Release();
    return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 || (lstrcmpiW(argv[1], L"HKLM") != 0 && lstrcmpiW(argv[1], L"HKCU") != 0))
    {
        fprintf(stderr, "usage: setup_menuprobe HKLM|HKCU <file>\n");
        return 2;
    }
    if (FAILED(CoInitialize(NULL)))
        return Fail("CoInitialize", E_FAIL);
    int status = Probe(lstrcmpiW(argv[1], L"HKCU") == 0, argv[2]);
    fflush(stdout);
    CoUninitialize();
    return status;
}
