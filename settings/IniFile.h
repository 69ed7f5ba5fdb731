#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CIniReader;
class CIniText;

// The settings file: its path, with reads from its text held in memory,
// profile writes and two text rewrites that remove a section or a key. Holds
// no handle between calls. The text is read at the first read and read again
// at the first read after any change made through this object.
//
// Writes may be held: edited in memory as the profile functions would edit
// the file, and written in one rewrite. Under Wine every profile write reads
// and rewrites the whole file, which made a save cost a rewrite per key.
class CIniFile
{
public:
    CIniFile();
    ~CIniFile();

    // Stores the path and proves access: a folder gives false, a missing file
    // true (the profile functions create it), an existing file is opened once.
    bool Open(const char* path, bool readOnly, bool truncate);
    // Drops writes held and not committed.
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

    // From here on, writes of a value go into the text in memory (read from the
    // file now) with the profile functions' result; anything else that needs
    // the file (a read, a removal through the profile functions) writes the
    // held text first. The settings save hands this object to every part that
    // writes a section, so that all of them reach the file in one rewrite.
    void HoldWrites();
    bool IsHoldingWrites() const { return m_held != nullptr; }
    // The keys of one section as WriteString would write them one by one;
    // while holding, in one edit of the held text.
    BOOL WriteKeys(const char* section, const std::vector<std::pair<std::string, std::string>>& keys);
    // Writes the held text into the file in one rewrite and ends holding; false
    // when anything held could not be written (the file is then as before).
    // A text that no write changed is not written again; *changed says which.
    bool CommitWrites(bool* changed = nullptr);

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
    // Writes what is held before an operation on the file, and holds on after it.
    bool CommitAndHoldOn();
    void StopHolding();
    static bool NormalizeHeldText(CIniText* text, void* context);

    std::string m_path;
    std::unique_ptr<CIniReader> m_reader;
    std::unique_ptr<CIniText> m_held;
    std::string m_heldAsRead;  // the held text as it was read from the file
    bool m_heldChangedFile = false;  // the file was written since holding began
    bool m_heldOk = true;
};

// Decimal as the settings file stores it: optional blanks and sign, then the
// leading digits; text without leading digits gives 0.
int ParseSettingInt(const char* text);
unsigned ParseSettingUnsigned(const char* text);
