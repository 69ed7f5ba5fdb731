#pragma once

#include "bridges/core/HostPlan.h"

#include <ostream>
#include <string>
#include <vector>

// Runs a host program from a test through the bridges' own host layer.
// Text arguments are Shift_JIS (the tests' literals), converted to UTF-8.
struct CHostResult
{
    int exitCode = -1;
    std::string output;  // Shift_JIS
};

CHostArg HostText(const std::string& text);
CHostArg HostPath(const std::string& windowsPath);
CHostArg HostBytes(const std::string& bytes);
CHostResult RunHost(const std::string& tool, const std::vector<CHostArg>& args, const std::string& workFolder = "");

// The files (not folders) of an archive as the host tools list them, with
// backslashes, sorted: 7zz for 7z and ZIP, unzip for ZIP, cabextract for CAB.
std::vector<std::string> SevenZipListing(const std::string& archive, const std::string& password = "");
std::vector<std::string> UnzipListing(const std::string& archive);
std::vector<std::string> CabListing(const std::string& archive);
// The same listings with the names as they are, for names beyond Shift_JIS.
std::vector<std::wstring> SevenZipWideListing(const std::string& archive);
std::vector<std::wstring> UnzipWideListing(const std::string& archive);
std::vector<std::wstring> CabWideListing(const std::string& archive);
// The names as an LZH holds them (its headers read directly), sorted.
std::vector<std::string> LhaListing(const std::string& archive);

// An archive as a bridge DLL's reading entries list it, loaded in the test
// process: OpenArchive, FindFirst("*")/FindNext, GetOriginalSizeEx per
// entry, CloseArchive; and its CheckArchive.
struct CReaderEntry
{
    std::string name;  // the DLL's text
    unsigned long long size = 0;
    bool folder = false;
    bool operator==(const CReaderEntry& o) const { return name == o.name && size == o.size && folder == o.folder; }
};
inline void PrintTo(const CReaderEntry& entry, std::ostream* out)
{
    *out << entry.name << (entry.folder ? " (folder) " : " ") << entry.size;
}
class CBridgeReader
{
public:
    CBridgeReader(const std::string& folder, const std::string& dll, const std::string& prefix);
    ~CBridgeReader();
    // false when OpenArchive gave no handle; the entries sorted by name.
    bool List(const std::string& archive, std::vector<CReaderEntry>* entries);
    int Check(const std::string& archive);
    int SetUnicodeMode(bool on);

private:
    void* Entry(const char* name);
    void* m_module;
    std::string m_prefix;
};
