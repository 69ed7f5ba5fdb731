#include "common/RegistryKey.h"

#include "common/TextConvert.h"

#include <wchar.h>

#include <string.h>

LONG CRegistryKey::Create(HKEY root, const char* subKey)
{
    Close();
    HKEY key = NULL;
    LONG result = RegCreateKeyExA(root, subKey, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS | m_view, NULL, &key, NULL);
    if (result == ERROR_SUCCESS)
        m_key = key;
    return result;
}

LONG CRegistryKey::Open(HKEY root, const char* subKey, int mode)
{
    Close();
    HKEY key = NULL;
    LONG result = RegOpenKeyExA(root, subKey, 0, (mode == 1 ? KEY_ALL_ACCESS : KEY_READ) | m_view, &key);
    if (result == ERROR_SUCCESS)
        m_key = key;
    return result;
}

LONG CRegistryKey::OpenFull(HKEY root, const char* subKey)
{
    return Open(root, subKey, 1);
}

int CRegistryKey::ReadString(const char* valueName, std::wstring* text, size_t maxLength)
{
    text->clear();
    if (m_key == NULL)
        return 0;
    // One character more than allowed shows a value that is too long; one
    // more again terminates a value stored without its terminator.
    std::wstring buffer(maxLength + 2, L'\0');
    DWORD type = REG_SZ;
    DWORD size = static_cast<DWORD>((maxLength + 1) * sizeof(wchar_t));
    LONG result = RegQueryValueExW(m_key, AnsiToWide(valueName).c_str(), NULL, &type,
                                   reinterpret_cast<BYTE*>(&buffer[0]), &size);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return 0;
    buffer.resize(wcslen(buffer.c_str()));
    if (buffer.size() > maxLength)
        return 0;
    *text = buffer;
    return 1;
}

int CRegistryKey::WriteString(const char* valueName, const std::wstring& text)
{
    if (m_key == NULL)
        return 0;
    LONG result = RegSetValueExW(m_key, AnsiToWide(valueName).c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    return result == ERROR_SUCCESS ? 1 : 0;
}

LONG CRegistryKey::DeleteKey(HKEY root, const char* subKey, REGSAM view)
{
    return view == 0 ? RegDeleteKeyA(root, subKey) : RegDeleteKeyExA(root, subKey, view, 0);
}

LONG CRegistryKey::Close()
{
    if (m_key == NULL)
        return -1;
    LONG result = RegCloseKey(m_key);
    m_key = NULL;
    return result;
}
