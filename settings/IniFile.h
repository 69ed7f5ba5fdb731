#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class CIniReader;

// The settings file: its path, with reads from its text held in memory,
// profile writes and two text rewrites that remove a section or a key. Holds
// no handle between calls. The text is read at the first read and read again
// at the first read after any change made through this object.
class CIniFile
{
public:
    CIniFile();
    ~CIniFile();

    // Stores the path and proves access: a folder gives false, a missing file
    // true (the profile functions create it), an existing file is opened once.
    bool Open(const char* path, bool readOnly, bool truncate);
    void Close();
    const char* GetPath() const { return m_path.c_str(); }

    // The profile functions' result, value cut at whole characters.
    DWORD GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                    DWORD size);
    BOOL WriteString(const char* section, const char* key, const char* text);
    // The default applies when the key is missing or empty.
    int GetInt(const char* section, const char* key, int defaultValue);
    bool GetBool(const char* section, const char* key, bool defaultValue);
    BOOL WriteInt(const char* section, const char* key, int value);
    BOOL WriteBool(const char* section, const char* key, bool value);

    // Names as the profile functions list them (in file order).
    std::vector<std::string> GetSectionNames();
    std::vector<std::string> GetKeyNames(const char* section);

    // 1 when the section was found and the file rewritten without it, else 0.
    int DeleteSection(const char* name);
    // 1 when a "key=" line was found inside the section and the file rewritten
    // without it, else 0.
    int DeleteKey(const char* section, const char* key);

    // Drops what the profile functions may hold of a file in memory, so that a
    // rewrite by other means is seen (and never overwritten) by the next call.
    static void FlushProfileCache(const char* path);

    // Replaces the file's text (written in text mode) through a temporary file
    // beside it; 1 on success.
    int Rewrite(const std::string& keptText);

private:
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    CIniReader& Reader();

    std::string m_path;
    std::unique_ptr<CIniReader> m_reader;
};

// Decimal as the settings file stores it: optional blanks and sign, then the
// leading digits; text without leading digits gives 0.
int ParseSettingInt(const char* text);
unsigned ParseSettingUnsigned(const char* text);
