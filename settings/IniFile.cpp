#include "settings/IniFile.h"

#include "common/PathUtil.h"
#include "common/ScopedHandle.h"
#include "common/TextFile.h"
#include "settings/FileReplace.h"
#include "settings/IniReader.h"
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

CIniFile::CIniFile()
{
}

CIniFile::~CIniFile()
{
}

void CIniFile::Close()
{
    m_path.clear();
    m_reader.reset();
}

bool CIniFile::Open(const char* path, bool readOnly, bool truncate)
{
    m_path = path;
    m_reader.reset();
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

CIniReader& CIniFile::Reader()
{
    if (!m_reader)
    {
        m_reader.reset(new CIniReader);
        m_reader->Load(m_path.c_str());
    }
    return *m_reader;
}

DWORD CIniFile::GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                          DWORD size)
{
    return Reader().GetString(section, key, defaultText, buffer, size);
}

BOOL CIniFile::WriteString(const char* section, const char* key, const char* text)
{
    m_reader.reset();
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
    return Reader().GetSectionNames();
}

std::vector<std::string> CIniFile::GetKeyNames(const char* section)
{
    return Reader().GetKeyNames(section);
}

void CIniFile::FlushProfileCache(const char* path)
{
    WritePrivateProfileStringA(NULL, NULL, NULL, path);
}

int CIniFile::DeleteSection(const char* name)
{
    m_reader.reset();
    FlushProfileCache(m_path.c_str());
    CIniText text;
    if (!text.Load(m_path.c_str()))
        return 0;
    int found = text.DeleteSection(name);
    return Rewrite(text.Text()) && found ? 1 : 0;
}

int CIniFile::DeleteKey(const char* section, const char* key)
{
    m_reader.reset();
    FlushProfileCache(m_path.c_str());
    CIniText text;
    if (!text.Load(m_path.c_str()))
        return 0;
    int found = text.DeleteKey(section, key);
    return Rewrite(text.Text()) && found ? 1 : 0;
}

int CIniFile::Rewrite(const std::string& keptText)
{
    m_reader.reset();
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
