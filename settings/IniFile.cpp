#include "settings/IniFile.h"

#include "common/PathUtil.h"
#include "common/ScopedHandle.h"
#include "common/ShiftJis.h"
#include "common/TextFile.h"
#include "settings/FileReplace.h"
#include "settings/IniText.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const DWORD kValueSize = 1024;

}  // namespace

int ParseSettingInt(const char* text)
{
    return static_cast<int>(strtol(text, NULL, 10));
}

unsigned ParseSettingUnsigned(const char* text)
{
    return static_cast<unsigned>(strtoul(text, NULL, 10));
}

bool CIniFile::Open(const char* path, bool readOnly, bool truncate)
{
    m_path = path;
    int kind = GetPathType(path);
    if (kind == kPathFolder)
        return false;
    if (kind == kPathMissing)
        return true;
    DWORD access = readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = (readOnly || !truncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    CScopedHandle file(CreateFileA(path, access, FILE_SHARE_READ, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL));
    return file.IsValid();
}

DWORD CIniFile::GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                          DWORD size)
{
    if (size == 0)
        return 0;
    // A value longer than the buffer is cut by the platform. Some platforms
    // stop before a double-byte character that does not fit but report the
    // whole buffer and leave the byte before the terminator as it was; others
    // may leave the first byte of a character alone at the end. A cleared
    // buffer and a recount give the whole characters that were read.
    memset(buffer, 0, size);
    DWORD length = GetPrivateProfileStringA(section, key, defaultText, buffer, size, m_path.c_str());
    if (length + 1 >= size)
    {
        length = static_cast<DWORD>(strlen(buffer));
        if (EndsWithLoneLeadByte(buffer, length))
            buffer[--length] = '\0';
    }
    return length;
}

BOOL CIniFile::WriteString(const char* section, const char* key, const char* text)
{
    return WritePrivateProfileStringA(section, key, text, m_path.c_str());
}

int CIniFile::GetInt(const char* section, const char* key, int defaultValue)
{
    char value[kValueSize];
    if (GetString(section, key, "", value, sizeof(value)) == 0)
        return defaultValue;
    return ParseSettingInt(value);
}

bool CIniFile::GetBool(const char* section, const char* key, bool defaultValue)
{
    char value[kValueSize];
    if (GetString(section, key, "", value, sizeof(value)) == 0)
        return defaultValue;
    return ParseBool(value) != 0;
}

BOOL CIniFile::WriteInt(const char* section, const char* key, int value)
{
    char text[16];
    snprintf(text, sizeof(text), "%d", value);
    return WriteString(section, key, text);
}

BOOL CIniFile::WriteBool(const char* section, const char* key, bool value)
{
    return WriteString(section, key, FormatBool(value));
}

std::vector<std::string> CIniFile::GetSectionNames()
{
    return GetNameList(NULL);
}

std::vector<std::string> CIniFile::GetKeyNames(const char* section)
{
    return GetNameList(section);
}

std::vector<std::string> CIniFile::GetNameList(const char* section)
{
    std::vector<std::string> names;
    std::vector<char> buffer(4096);
    for (;;)
    {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = section == NULL
                           ? GetPrivateProfileSectionNamesA(buffer.data(), size, m_path.c_str())
                           : GetPrivateProfileStringA(section, NULL, "", buffer.data(), size, m_path.c_str());
        // A list that did not fit is reported as size - 2.
        if (length + 2 < size)
            break;
        buffer.assign(buffer.size() * 2, '\0');
    }
    for (const char* name = buffer.data(); *name != '\0'; name += strlen(name) + 1)
        names.push_back(name);
    return names;
}

void CIniFile::FlushProfileCache(const char* path)
{
    WritePrivateProfileStringA(NULL, NULL, NULL, path);
}

int CIniFile::DeleteSection(const char* name)
{
    FlushProfileCache(m_path.c_str());
    CIniText text;
    if (!text.Load(m_path.c_str()))
        return 0;
    int found = text.DeleteSection(name);
    return Rewrite(text.Text()) && found ? 1 : 0;
}

int CIniFile::DeleteKey(const char* section, const char* key)
{
    FlushProfileCache(m_path.c_str());
    CIniText text;
    if (!text.Load(m_path.c_str()))
        return 0;
    int found = text.DeleteKey(section, key);
    return Rewrite(text.Text()) && found ? 1 : 0;
}

int CIniFile::Rewrite(const std::string& keptText)
{
    std::string tempPath;
    if (!CreateSiblingTempFile(m_path.c_str(), &tempPath))
        return 0;
    CTextFile out;
    bool written = out.Open(tempPath.c_str(), "w") != NULL &&
                   out.Write(keptText.data(), 1, keptText.size()) == keptText.size();
    // Closing flushes: a full disk shows up here.
    if (out.Close() != 0)
        written = false;
    if (!written)
    {
        DeleteFileA(tempPath.c_str());
        return 0;
    }
    if (!ReplaceWithTempFile(tempPath.c_str(), m_path.c_str()))
        return 0;
    FlushProfileCache(m_path.c_str());
    return 1;
}
