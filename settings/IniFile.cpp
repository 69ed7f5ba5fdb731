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

// A section name no settings file uses: written and removed again, it makes
// the profile functions write the file in their own form.
const char kNormalizeSection[] = "Tessik normalize 0f3a";

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
    StopHolding();
}

void CIniFile::Close()
{
    StopHolding();
    m_path.clear();
    m_reader.reset();
}

void CIniFile::StopHolding()
{
    m_held.reset();
    m_heldAsRead.clear();
    m_heldChangedFile = false;
    m_heldOk = true;
}

bool CIniFile::Open(const char* path, bool readOnly, bool truncate)
{
    StopHolding();
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
    if (m_held)
        CommitAndHoldOn();
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
    if (m_held && section != NULL && key != NULL && text != NULL && m_held->IsPlainText())
    {
        m_held->WriteKeys(section, {{key, text}});
        return m_heldOk ? TRUE : FALSE;
    }
    // A removal through the profile functions works on the file, and so does
    // every write into a text that the held edits cannot follow.
    if (m_held && !CommitAndHoldOn())
        return FALSE;
    m_reader.reset();
    BOOL written = WritePrivateProfileStringA(section, key, text, m_path.c_str());
    if (m_held)
    {
        // The profile functions leave a file alone when nothing changes.
        std::string before = m_heldAsRead;
        FlushProfileCache(m_path.c_str());
        m_held->Load(m_path.c_str());
        m_heldAsRead = m_held->Text();
        m_heldChangedFile = m_heldChangedFile || m_heldAsRead != before;
    }
    return written;
}

void CIniFile::HoldWrites()
{
    if (m_held)
        return;
    FlushProfileCache(m_path.c_str());
    m_held.reset(new CIniText);
    m_held->Load(m_path.c_str());
    m_heldAsRead = m_held->Text();
    m_held->SetNormalizer(NormalizeHeldText, this);
    m_heldOk = true;
}

BOOL CIniFile::WriteKeys(const char* section, const std::vector<std::pair<std::string, std::string>>& keys)
{
    if (m_held && m_held->IsPlainText())
    {
        m_held->WriteKeys(section, keys);
        return m_heldOk ? TRUE : FALSE;
    }
    BOOL written = TRUE;
    for (const auto& key : keys)
    {
        if (!WriteString(section, key.first.c_str(), key.second.c_str()))
            written = FALSE;
    }
    return written;
}

bool CIniFile::CommitWrites(bool* changed)
{
    if (changed != nullptr)
        *changed = false;
    if (!m_held)
        return true;
    std::unique_ptr<CIniText> held = std::move(m_held);
    // A change of a value has gone through the profile functions once (the
    // text then differs from what was read), so equal texts mean equal files.
    std::string text = held->Text();
    bool differs = text != m_heldAsRead;
    bool ok = m_heldOk && (!differs || Rewrite(text) != 0);
    if (changed != nullptr)
        *changed = differs || m_heldChangedFile;
    StopHolding();
    return ok;
}

bool CIniFile::CommitAndHoldOn()
{
    bool changed = false;
    bool ok = CommitWrites(&changed);
    HoldWrites();
    m_heldChangedFile = changed;
    return ok;
}

// The first change the profile functions make writes the whole file in their
// form: the text so far goes into the file, a change and its undoing go
// through the profile functions, and their text comes back.
bool CIniFile::NormalizeHeldText(CIniText* text, void* context)
{
    CIniFile* ini = static_cast<CIniFile*>(context);
    const char* path = ini->m_path.c_str();
    bool ok = ini->m_heldOk && ini->Rewrite(text->Text()) != 0;
    ok = ok && WritePrivateProfileStringA(kNormalizeSection, "k", "v", path) != FALSE;
    ok = ok && WritePrivateProfileStringA(kNormalizeSection, NULL, NULL, path) != FALSE;
    FlushProfileCache(path);
    ok = ok && text->Load(path);
    ini->m_heldOk = ok;
    ini->m_heldChangedFile = true;
    return ok;
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
    if (m_held)
        return m_held->DeleteSection(name);
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
    if (m_held)
        return m_held->DeleteKey(section, key);
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
