#include "tests/bridges/HostCommand.h"

#include "bridges/core/ArchiveNames.h"
#include "bridges/core/BridgeText.h"
#include "bridges/core/HostSession.h"

#include <gtest/gtest.h>

#include <ctype.h>
#include <string.h>

#include <algorithm>
#include <sstream>

CHostArg HostText(const std::string& text) { return CHostArg{CHostArg::kText, std::string(), text}; }
CHostArg HostPath(const std::string& windowsPath) { return CHostArg{CHostArg::kPath, std::string(), windowsPath}; }
CHostArg HostBytes(const std::string& bytes) { return CHostArg{CHostArg::kBytes, std::string(), bytes}; }

namespace {

// The host's output as it is, UTF-8.
CHostResult RunHostRaw(const std::string& tool, const std::vector<CHostArg>& args, const std::string& workFolder)
{
    CHostSession session;
    CHostRun run;
    run.tool = tool;
    run.args = args;
    run.workFolder = workFolder.empty() ? "C:\\" : workFolder;
    run.wholeOutput = true;  // listings of thousands of names
    CRunOutcome outcome;
    CHostResult result;
    if (session.Run(run, nullptr, &outcome))
        result.exitCode = outcome.exitCode;
    result.output = outcome.output + ShiftJisToUtf8(outcome.failure);
    return result;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A UTF-8 name with backslashes: no byte of a UTF-8 character is "/".
std::string Backslashed(std::string name)
{
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

std::vector<std::string> SortedShiftJis(const std::vector<std::string>& utf8Names)
{
    std::vector<std::string> names;
    for (const std::string& name : utf8Names)
        names.push_back(Utf8ToShiftJis(name));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::wstring> SortedWide(const std::vector<std::string>& utf8Names)
{
    std::vector<std::wstring> names;
    for (const std::string& name : utf8Names)
        names.push_back(Utf8ToWide(name));
    std::sort(names.begin(), names.end());
    return names;
}

// The names each tool lists, UTF-8, in the tool's order.
std::vector<std::string> SevenZipNames(const std::string& archive, const std::string& password)
{
    std::vector<CHostArg> args = {HostText("l"), HostText("-slt"), HostText("-ba"), HostText("-sccUTF-8"),
                                  HostText("-p" + password), HostPath(archive)};
    CHostResult listed = RunHostRaw("7zz", args, "");
    std::vector<std::string> names;
    std::string path;
    bool folder = false;
    std::vector<std::string> lines = Lines(listed.output);
    lines.push_back("Path = ");
    for (const std::string& line : lines)
    {
        if (line.compare(0, 7, "Path = ") == 0)
        {
            if (!path.empty() && !folder)
                names.push_back(Backslashed(path));
            path = line.substr(7);
            folder = false;
        }
        else if (line == "Folder = +" || (line.compare(0, 13, "Attributes = ") == 0 && line.find('D', 13) != std::string::npos))
            folder = true;
    }
    if (listed.exitCode != 0)
        names.push_back("(7zz failed: " + listed.output + ")");
    return names;
}

std::vector<std::string> UnzipNames(const std::string& archive)
{
    CHostResult listed = RunHostRaw("unzip", {HostText("-Z1"), HostPath(archive)}, "");
    std::vector<std::string> names;
    for (const std::string& line : Lines(listed.output))
        if (!line.empty() && line.back() != '/')
            names.push_back(Backslashed(line));
    if (listed.exitCode != 0)
        names.push_back("(unzip failed: " + listed.output + ")");
    return names;
}

std::vector<std::string> CabNames(const std::string& archive)
{
    CHostResult listed = RunHostRaw("cabextract", {HostText("-l"), HostPath(archive)}, "");
    std::vector<std::string> names;
    for (const std::string& line : Lines(listed.output))
    {
        size_t bar = line.rfind(" | ");
        if (bar != std::string::npos && line.find(" | ") != bar && line.find_first_not_of(' ') != std::string::npos &&
            isdigit(static_cast<unsigned char>(line[line.find_first_not_of(' ')])))
            names.push_back(Backslashed(line.substr(bar + 3)));
    }
    if (listed.exitCode != 0)
        names.push_back("(cabextract failed: " + listed.output + ")");
    return names;
}

}  // namespace

CHostResult RunHost(const std::string& tool, const std::vector<CHostArg>& args, const std::string& workFolder)
{
    CHostResult result = RunHostRaw(tool, args, workFolder);
    result.output = Utf8ToShiftJis(result.output);
    return result;
}

std::vector<std::string> SevenZipListing(const std::string& archive, const std::string& password)
{
    return SortedShiftJis(SevenZipNames(archive, password));
}

std::vector<std::string> UnzipListing(const std::string& archive) { return SortedShiftJis(UnzipNames(archive)); }
std::vector<std::string> CabListing(const std::string& archive) { return SortedShiftJis(CabNames(archive)); }

std::vector<std::wstring> SevenZipWideListing(const std::string& archive)
{
    return SortedWide(SevenZipNames(archive, ""));
}

std::vector<std::wstring> UnzipWideListing(const std::string& archive) { return SortedWide(UnzipNames(archive)); }
std::vector<std::wstring> CabWideListing(const std::string& archive) { return SortedWide(CabNames(archive)); }

std::vector<std::string> LhaListing(const std::string& archive)
{
    std::vector<std::string> names;
    if (!ReadLhaNames(ShiftJisToWide(archive), &names))
        names.push_back("(damaged header)");
    std::sort(names.begin(), names.end());
    return names;
}

CBridgeReader::CBridgeReader(const std::string& folder, const std::string& dll, const std::string& prefix)
    : m_module(LoadLibraryA((folder + "\\" + dll).c_str())), m_prefix(prefix) {}
CBridgeReader::~CBridgeReader() { FreeLibrary(static_cast<HMODULE>(m_module)); }

void* CBridgeReader::Entry(const char* name)
{
    FARPROC entry = m_module != NULL ? GetProcAddress(static_cast<HMODULE>(m_module), (m_prefix + name).c_str()) : NULL;
    if (entry == NULL)
        ADD_FAILURE() << m_prefix << name << " is not there";
    return reinterpret_cast<void*>(entry);
}

bool CBridgeReader::List(const std::string& archive, std::vector<CReaderEntry>* entries)
{
    entries->clear();
    auto open = reinterpret_cast<ArchiverOpenArchive*>(Entry("OpenArchive"));
    auto first = reinterpret_cast<ArchiverFindFirst*>(Entry("FindFirst"));
    auto next = reinterpret_cast<ArchiverFindNext*>(Entry("FindNext"));
    auto size = reinterpret_cast<ArchiverGetOriginalSizeEx*>(Entry("GetOriginalSizeEx"));
    auto close = reinterpret_cast<ArchiverHandleQuery*>(Entry("CloseArchive"));
    if (!open || !first || !next || !size || !close)
        return false;
    HANDLE handle = open(NULL, archive.c_str(), 0);
    if (handle == NULL)
        return false;
    INDIVIDUALINFO info = {};
    int found = first(handle, "*", &info);
    std::string firstName = info.szFileName;
    for (; found == 0; found = next(handle, &info))
    {
        CReaderEntry entry;
        entry.name = info.szFileName;
        __int64 full = -1;
        EXPECT_TRUE(size(handle, &full)) << entry.name;
        entry.size = static_cast<unsigned long long>(full);
        EXPECT_EQ(static_cast<DWORD>(entry.size), info.dwOriginalSize) << entry.name;
        entry.folder = strchr(info.szAttribute, 'd') != NULL;
        entries->push_back(entry);
    }
    EXPECT_EQ(-1, found);
    // FindFirst starts again at the first entry.
    if (!entries->empty())
    {
        EXPECT_EQ(0, first(handle, "*", &info));
        EXPECT_EQ(firstName, info.szFileName);
    }
    EXPECT_EQ(0, close(handle));
    std::sort(entries->begin(), entries->end(),
              [](const CReaderEntry& a, const CReaderEntry& b) { return a.name < b.name; });
    return true;
}

int CBridgeReader::Check(const std::string& archive)
{
    auto check = reinterpret_cast<ArchiverCheckArchive*>(Entry("CheckArchive"));
    return check ? check(archive.c_str(), CHECKARCHIVE_FULLCRC) : -1;
}

int CBridgeReader::SetUnicodeMode(bool on)
{
    auto set = reinterpret_cast<ArchiverSetUnicodeMode*>(Entry("SetUnicodeMode"));
    return set ? set(on) : -1;
}
