// What Windows reads from the release's binaries before any of their code
// runs: the manifest that picks common controls 6, the DPI awareness, long
// paths and the supported systems; the version resource the file's
// properties show; every size of the program's icons.
#include "resources/resource.h"
#include "resources/version.h"
#include "tests/support/BinaryResources.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <set>

namespace {

// The 32-bit build's bin folder (scripts/build.sh builds it beside this one)
// and the version scripts/package.sh puts in the package's name, both given
// at configure time.
const char kI686BinFolder[] = TESSIK_I686_BIN_FOLDER;
const char kPackageVersion[] = TESSIK_PACKAGE_VERSION;

enum Build
{
    kThisBuild,
    kI686Build,
};

struct CBinaryRow
{
    const char* label;
    Build build;
    const char* name;  // below the build's bin folder
    const char* description;
    DWORD fileType;
    bool hasManifest;
};

// Every binary of the release package (the 32-bit program and its ZIP and 7z
// DLLs) and the 64-bit builds of the same.
const CBinaryRow kBinaries[] = {
    {"tessik_x86", kI686Build, "tessik.exe", "Tessik", VFT_APP, true},
    {"TessikZip_x86", kI686Build, "tessikzip\\TessikZip.dll", "Tessik ZIP archiver DLL", VFT_DLL, false},
    {"Tessik7z_x86", kI686Build, "tessik7z\\Tessik7z.dll", "Tessik 7z archiver DLL", VFT_DLL, false},
    {"tessik_x64", kThisBuild, "tessik.exe", "Tessik", VFT_APP, true},
    {"TessikZip_x64", kThisBuild, "tessikzip\\TessikZip.dll", "Tessik ZIP archiver DLL", VFT_DLL, false},
    {"Tessik7z_x64", kThisBuild, "tessik7z\\Tessik7z.dll", "Tessik 7z archiver DLL", VFT_DLL, false},
    // In the file manager's process, whose manifest rules: none of its own.
    {"shellext_x64", kThisBuild, "tessikshlex_x64.dll", "Tessik shell extension (x64)", VFT_DLL, false},
    {"installer_x64", kThisBuild, "tessikshlex_install_x64.exe", "Tessik shell extension installer (x64)", VFT_APP,
     true},
    // Started by the settings page: without its manifest, the word "install"
    // in its name would make the system ask for elevation.
    {"userinstaller_x86", kI686Build, "userinstaller\\tessikshlex_install.exe",
     "Tessik right-click menu for the current user", VFT_APP, true},
};

std::string BinaryPath(Build build, const char* name)
{
    std::string folder = build == kThisBuild ? TestExeFolder() : std::string(kI686BinFolder);
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder + "\\" + name;
}

bool UnderCi()
{
    const char* ci = getenv("CI");
    return ci != NULL && strcmp(ci, "true") == 0;
}

// The 32-bit build is not always there on a developer's machine; scripts/test.sh
// and CI build it before the tests, so there its absence is a fault.
#define LOCATE_BINARY(path, build)                                                                        \
    do                                                                                                    \
    {                                                                                                     \
        if (!FileExists(path))                                                                            \
        {                                                                                                 \
            if ((build) == kI686Build && !UnderCi())                                                      \
                GTEST_SKIP() << "not built: " << (path) << " (scripts/build.sh builds it)";               \
            FAIL() << "missing: " << (path);                                                              \
        }                                                                                                 \
    } while (0)

// One element the manifest must hold: its name, its text (NULL: any) and the
// attributes it must carry with these values.
struct CManifestRow
{
    const char* label;
    const char* element;
    const char* text;
    std::vector<std::pair<std::string, std::string>> attributes;
};

const CManifestRow kManifestElements[] = {
    {"common controls 6",
     "assemblyIdentity",
     NULL,
     {{"type", "win32"},
      {"name", "Microsoft.Windows.Common-Controls"},
      {"version", "6.0.0.0"},
      {"publicKeyToken", "6595b64144ccf1df"}}},
    {"per-monitor awareness v2", "dpiAwareness", "PerMonitorV2",
     {{"xmlns", "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}}},
    {"per-monitor awareness before Windows 10", "dpiAware", "True/PM",
     {{"xmlns", "http://schemas.microsoft.com/SMI/2005/WindowsSettings"}}},
    {"long paths", "longPathAware", "true", {{"xmlns", "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}}},
    {"Windows 7", "supportedOS", NULL, {{"Id", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"}}},
    {"Windows 8", "supportedOS", NULL, {{"Id", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"}}},
    {"Windows 8.1", "supportedOS", NULL, {{"Id", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"}}},
    {"Windows 10 and 11", "supportedOS", NULL, {{"Id", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}}},
    {"as invoker", "requestedExecutionLevel", NULL, {{"level", "asInvoker"}, {"uiAccess", "false"}}},
};

bool HasElement(const std::vector<CXmlElement>& elements, const CManifestRow& row)
{
    for (const CXmlElement& element : elements)
    {
        if (element.name != row.element || (row.text != NULL && element.text != row.text))
            continue;
        bool all = true;
        for (const auto& attribute : row.attributes)
        {
            auto found = element.attributes.find(attribute.first);
            all = all && found != element.attributes.end() && found->second == attribute.second;
        }
        if (all)
            return true;
    }
    return false;
}

class ReleaseBinaryTest : public ::testing::TestWithParam<CBinaryRow>
{
};

TEST_P(ReleaseBinaryTest, Manifest_EveryElementOrNone)
{
    const CBinaryRow& row = GetParam();
    std::string path = BinaryPath(row.build, row.name);
    LOCATE_BINARY(path, row.build);
    CBinaryResources resources(path);
    ASSERT_TRUE(resources.IsLoaded()) << path << " error " << GetLastError();
    std::vector<WORD> ids = resources.Ids(RT_MANIFEST);
    if (!row.hasManifest)
    {
        EXPECT_TRUE(ids.empty()) << path << " has a manifest, id " << ids.front();
        return;
    }
    // Id 1 is the one the loader reads for a process.
    EXPECT_EQ(std::vector<WORD>{1}, ids) << path;
    std::string manifest;
    ASSERT_TRUE(resources.Read(RT_MANIFEST, 1, &manifest)) << path;
    std::vector<CXmlElement> elements = ReadXmlElements(manifest);
    for (const CManifestRow& element : kManifestElements)
        EXPECT_TRUE(HasElement(elements, element)) << path << ": " << element.label << "\n" << manifest;
}

TEST_P(ReleaseBinaryTest, VersionResource_ThePackagesVersion)
{
    const CBinaryRow& row = GetParam();
    std::string path = BinaryPath(row.build, row.name);
    LOCATE_BINARY(path, row.build);
    // "1.12" is file version 1.12.0.0.
    unsigned major = 0, minor = 0;
    ASSERT_EQ(2, sscanf(kPackageVersion, "%u.%u", &major, &minor)) << kPackageVersion;
    VS_FIXEDFILEINFO fixed = {};
    ASSERT_TRUE(FixedVersion(path, &fixed)) << path << " has no version resource";
    EXPECT_EQ(MAKELONG(minor, major), fixed.dwFileVersionMS) << path;
    EXPECT_EQ(0u, fixed.dwFileVersionLS) << path;
    EXPECT_EQ(MAKELONG(minor, major), fixed.dwProductVersionMS) << path;
    EXPECT_EQ(row.fileType, fixed.dwFileType) << path;
    EXPECT_EQ(std::string(kPackageVersion), VersionString(path, "FileVersion")) << path;
    EXPECT_EQ(std::string(kPackageVersion), VersionString(path, "ProductVersion")) << path;
    EXPECT_EQ("Tessik", VersionString(path, "ProductName")) << path;
    EXPECT_EQ(row.description, VersionString(path, "FileDescription")) << path;
    // The settings dialog's version page shows the same notice.
    EXPECT_EQ(TESSIK_RIGHTS_NOTICE, VersionString(path, "LegalCopyright")) << path;
    EXPECT_EQ(strrchr(row.name, '\\') != NULL ? strrchr(row.name, '\\') + 1 : row.name,
              VersionString(path, "OriginalFilename"))
        << path;
}

INSTANTIATE_TEST_SUITE_P(Package, ReleaseBinaryTest, ::testing::ValuesIn(kBinaries),
                         [](const ::testing::TestParamInfo<CBinaryRow>& info) { return std::string(info.param.label); });

struct CIconRow
{
    const char* label;
    Build build;
    WORD groupId;
};

const CIconRow kIconGroups[] = {
    {"program_x86", kI686Build, IDI_PROGRAM},
    {"browse_x86", kI686Build, IDI_BROWSE},
    {"program_x64", kThisBuild, IDI_PROGRAM},
    {"browse_x64", kThisBuild, IDI_BROWSE},
};

#pragma pack(push, 2)
struct CGroupIconEntry
{
    BYTE width;  // 0 stands for 256
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD iconId;
};
#pragma pack(pop)

class IconGroupTest : public ::testing::TestWithParam<CIconRow>
{
};

// The sizes Windows asks for at 100 % to 200 % and in the file manager's views:
// the largest a PNG image, as Windows stores it, the others 32-bit bitmaps.
TEST_P(IconGroupTest, EverySize_ThirtyTwoBitsTheLargestAsPng)
{
    const CIconRow& row = GetParam();
    std::string path = BinaryPath(row.build, "tessik.exe");
    LOCATE_BINARY(path, row.build);
    CBinaryResources resources(path);
    ASSERT_TRUE(resources.IsLoaded()) << path;
    std::string group;
    ASSERT_TRUE(resources.Read(RT_GROUP_ICON, row.groupId, &group)) << path << " icon " << row.groupId;
    ASSERT_GE(group.size(), 6u);
    WORD count = *reinterpret_cast<const WORD*>(&group[4]);
    ASSERT_EQ(6 + count * sizeof(CGroupIconEntry), group.size());
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i)
    {
        CGroupIconEntry entry;
        memcpy(&entry, &group[6 + i * sizeof(entry)], sizeof(entry));
        int size = entry.width == 0 ? 256 : entry.width;
        EXPECT_EQ(entry.width, entry.height) << size;
        EXPECT_EQ(32, entry.bitCount) << size;
        sizes.insert(size);
        std::string image;
        ASSERT_TRUE(resources.Read(RT_ICON, entry.iconId, &image)) << size;
        ASSERT_EQ(entry.bytes, image.size()) << size;
        if (size == 256)
        {
            EXPECT_EQ(std::string("\x89PNG\r\n\x1a\n", 8), image.substr(0, 8));
            continue;
        }
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER)) << size;
        BITMAPINFOHEADER header;
        memcpy(&header, image.data(), sizeof(header));
        EXPECT_EQ(sizeof(BITMAPINFOHEADER), header.biSize) << size;
        EXPECT_EQ(size, header.biWidth);
        EXPECT_EQ(2 * size, header.biHeight) << "colour and mask";
        EXPECT_EQ(32, header.biBitCount) << size;
    }
    EXPECT_EQ((std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}), sizes) << path << " icon " << row.groupId;
}

INSTANTIATE_TEST_SUITE_P(Program, IconGroupTest, ::testing::ValuesIn(kIconGroups),
                         [](const ::testing::TestParamInfo<CIconRow>& info) { return std::string(info.param.label); });

}  // namespace
