#include "tests/support/ProfileReference.h"

#include "common/ShiftJis.h"
#include "settings/IniFile.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <string.h>

#include <set>

namespace {

// Sizes that cut long values and double-byte characters in every position.
const DWORD kSizes[] = {1024, 1, 2, 3, 8};
// Bounds on the names tried per file, so that a large file costs seconds, not
// minutes, through the profile functions.
const size_t kMaxSections = 24;
const size_t kMaxKeys = 40;

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The names the file's lines could give: a header's text between "[" and the
// last "]", a line's text before "=" or the whole line, each cut at a NUL.
void NamesOfLines(const std::string& bytes, std::vector<std::string>* sections, std::vector<std::string>* keys)
{
    size_t start = 0;
    while (start < bytes.size())
    {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        line = line.substr(0, strlen(line.c_str()));
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos)
            continue;
        size_t close = line.rfind(']');
        if (line[first] == '[' && close != std::string::npos && close > first)
            sections->push_back(line.substr(first + 1, close - first - 1));
        else
            keys->push_back(line.substr(0, line.find('=')));
    }
}

void AddVariants(const std::vector<std::string>& names, size_t limit, std::vector<std::string>* out)
{
    std::set<std::string> seen(out->begin(), out->end());
    for (const std::string& name : names)
    {
        for (const std::string& variant : {name, Lower(name), Upper(name), " " + name + "\t"})
        {
            if (out->size() >= limit)
                return;
            if (seen.insert(variant).second)
                out->push_back(variant);
        }
    }
}

}  // namespace

DWORD ProfileGetString(const char* path, const char* section, const char* key, const char* defaultText,
                       char* buffer, DWORD size)
{
    if (size == 0)
        return 0;
    // Some platforms stop before a double-byte character that does not fit
    // but report the whole buffer; others may leave the first byte of a
    // character alone at the end.
    memset(buffer, 0, size);
    DWORD length = GetPrivateProfileStringA(section, key, defaultText, buffer, size, path);
    if (length + 1 >= size)
    {
        length = static_cast<DWORD>(strlen(buffer));
        if (EndsWithLoneLeadByte(buffer, length))
            buffer[--length] = '\0';
    }
    return length;
}

std::vector<std::string> ProfileNames(const char* path, const char* section)
{
    std::vector<char> buffer(4096);
    for (;;)
    {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = section == NULL ? GetPrivateProfileSectionNamesA(buffer.data(), size, path)
                                       : GetPrivateProfileStringA(section, NULL, "", buffer.data(), size, path);
        // A list that did not fit is reported as size - 2.
        if (length + 2 < size)
            break;
        buffer.assign(buffer.size() * 2, '\0');
    }
    std::vector<std::string> names;
    for (const char* name = buffer.data(); *name != '\0'; name += strlen(name) + 1)
        names.push_back(name);
    return names;
}

size_t ExpectReadersAgree(const std::string& bytes, const std::vector<std::string>& sections,
                          const std::vector<std::string>& keys)
{
    CTestFolder folder;
    std::string path = folder.WriteFile("tessik.ini", bytes);
    // The profile functions may hold an earlier file of the same name.
    WritePrivateProfileStringA(NULL, NULL, NULL, path.c_str());

    CIniFile ini;
    ini.Open(path.c_str(), true, false);
    size_t compared = 0;
    EXPECT_EQ(ProfileNames(path.c_str(), NULL), ini.GetSectionNames());
    ++compared;

    std::vector<std::string> lineSections, lineKeys;
    NamesOfLines(bytes, &lineSections, &lineKeys);
    std::vector<std::string> sectionNames, keyNames;
    AddVariants(sections, kMaxSections, &sectionNames);
    AddVariants(lineSections, kMaxSections, &sectionNames);
    AddVariants(keys, kMaxKeys, &keyNames);
    AddVariants(lineKeys, kMaxKeys, &keyNames);

    char expected[1024];
    char actual[1024];
    for (const std::string& section : sectionNames)
    {
        SCOPED_TRACE("section [" + section + "]");
        EXPECT_EQ(ProfileNames(path.c_str(), section.c_str()), ini.GetKeyNames(section.c_str()));
        for (const std::string& key : keyNames)
        {
            for (DWORD size : kSizes)
            {
                DWORD expectedLength = ProfileGetString(path.c_str(), section.c_str(), key.c_str(), "", expected, size);
                memset(actual, 0x55, sizeof(actual));
                DWORD actualLength = ini.GetString(section.c_str(), key.c_str(), "", actual, size);
                ++compared;
                EXPECT_EQ(expectedLength, actualLength) << "key " << key << ", size " << size;
                EXPECT_EQ(std::string(expected, expectedLength), std::string(actual, actualLength))
                    << "key " << key << ", size " << size;
                // Small buffers only for values that have something to cut.
                if (expectedLength + 1 < size)
                    break;
            }
        }
    }
    return compared;
}
