#include "shellext/Registration.h"

#include "common/RegistryKey.h"
#include "common/TextConvert.h"
#include "shellext/ShellExtGuid.h"

#include <string.h>

namespace {

#define TESSIK_CLASS_KEY "CLSID\\" TESSIK_SHELLEXT_CLSID_TEXT
#define TESSIK_HANDLER_KEY "\\shellex\\ContextMenuHandlers\\" TESSIK_SHELLEXT_CLSID_TEXT

// One value to write; fileName values hold the program folder, "\" and the name.
struct CRegistrationValue
{
    const char* key;
    const char* valueName;
    const char* data;
    bool isFileName;
};

// In writing order; a key is created when it first appears. Files of every type
// ("*") and folders get the menu item.
const CRegistrationValue kRegistrationTable[] = {
    {TESSIK_CLASS_KEY, "", "Tessik Shell Extension", false},
    {TESSIK_CLASS_KEY, kProgramPathValue, "tessik.exe", true},
    {TESSIK_CLASS_KEY "\\InProcServer32", "", "tessikshlex_x64.dll", true},
    {TESSIK_CLASS_KEY "\\InProcServer32", "ThreadingModel", "Apartment", false},
    {"*" TESSIK_HANDLER_KEY, "", TESSIK_SHELLEXT_CLSID_TEXT, false},
    {"Folder" TESSIK_HANDLER_KEY, "", TESSIK_SHELLEXT_CLSID_TEXT, false},
};
const size_t kRegistrationCount = sizeof(kRegistrationTable) / sizeof(kRegistrationTable[0]);

// The extension reads the program's path with at most this many characters.
const size_t kValueSize = 1023;

bool IsFirstOfKey(size_t index)
{
    return index == 0 || strcmp(kRegistrationTable[index - 1].key, kRegistrationTable[index].key) != 0;
}

// True when child lies below parent ("parent\...").
bool IsBelow(const char* child, const char* parent)
{
    size_t length = strlen(parent);
    return strncmp(child, parent, length) == 0 && child[length] == '\\';
}

// The root key, the path before the table's keys and the view of a scope.
struct CScopeRoot
{
    HKEY root;
    const char* prefix;
    REGSAM view;

    std::string Path(const char* key) const { return std::string(prefix) + key; }
};

CScopeRoot RootOf(ERegistrationScope scope)
{
    switch (scope)
    {
    case ERegistrationScope::CurrentUser:
        return {HKEY_CURRENT_USER, "Software\\Classes\\", KEY_WOW64_64KEY};
    case ERegistrationScope::AllUsers:
        return {HKEY_LOCAL_MACHINE, "Software\\Classes\\", KEY_WOW64_64KEY};
    case ERegistrationScope::Classes:
        break;
    }
    return {HKEY_CLASSES_ROOT, "", 0};
}

}  // namespace

int RegisterShellExtension(const std::wstring& folder, ERegistrationScope scope)
{
    const CScopeRoot where = RootOf(scope);
    CRegistryKey key(where.view);
    for (size_t i = 0; i < kRegistrationCount; ++i)
    {
        const CRegistrationValue& value = kRegistrationTable[i];
        if (IsFirstOfKey(i) && key.Create(where.root, where.Path(value.key).c_str()) != ERROR_SUCCESS)
            return 0;

        std::wstring data = AnsiToWide(value.data);
        if (value.isFileName)
        {
            data = folder + L"\\" + data;
            if (data.size() > kValueSize)
                return 0;
        }
        // A value that cannot be written does not stop the others.
        key.WriteString(value.valueName, data);
    }
    return 1;
}

int UnregisterShellExtension(ERegistrationScope scope)
{
    const CScopeRoot where = RootOf(scope);
    // The registry does not delete a key that still has subkeys, so the keys of
    // the table below a key go first.
    bool deleted[kRegistrationCount] = {};
    for (size_t i = 0; i < kRegistrationCount; ++i)
    {
        if (!IsFirstOfKey(i) || deleted[i])
            continue;
        for (size_t j = i + 1; j < kRegistrationCount; ++j)
        {
            if (IsFirstOfKey(j) && !deleted[j] && IsBelow(kRegistrationTable[j].key, kRegistrationTable[i].key))
            {
                CRegistryKey::DeleteKey(where.root, where.Path(kRegistrationTable[j].key).c_str(), where.view);
                deleted[j] = true;
            }
        }
        CRegistryKey::DeleteKey(where.root, where.Path(kRegistrationTable[i].key).c_str(), where.view);
        deleted[i] = true;
    }
    return 1;
}

int IsShellExtensionRegistered(ERegistrationScope scope)
{
    // Read access is enough to see the key, so a user without the rights to
    // register still gets a true answer.
    const CScopeRoot where = RootOf(scope);
    CRegistryKey key(where.view);
    return key.Open(where.root, where.Path(kShellExtClassKey).c_str(), 0) == ERROR_SUCCESS ? 1 : 0;
}
