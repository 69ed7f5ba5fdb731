#include "archivers/formats/Arc7ZipSfx.h"

#include "archivers/dlls/SevenZipDll.h"
#include "common/CriticalSection.h"
#include "common/ScopedHandle.h"
#include "settings/CompressJob.h"

#include <map>
#include <string>

const char kBuiltinSfxModule[] = "builtin";

namespace {

// 7-Zip32.dll brings its own module from this version (3.13) on.
const WORD kLastVersionWithoutBuiltin = 312;

const char* const kModuleFiles[] = {"7z.sfx", "7zC.sfx", "7zCon.sfx"};

std::map<std::string, int> s_sfxModules;
int s_sfxModuleCount = 0;
CSevenZipDll s_discoveryDll;
CCriticalSection s_sfxLock("CArc7ZipSfx_Archive_SfxThread");

int IsLoadableModule(const char* fileName)
{
    CScopedLibrary module(LoadLibraryA(fileName));
    return module.Get() != NULL ? 1 : 0;
}

int HasBuiltinModule()
{
    if (!s_discoveryDll.Load())
        return 0;
    WORD version = s_discoveryDll.GetVersion();
    s_discoveryDll.Unload();
    return version > kLastVersionWithoutBuiltin ? 1 : 0;
}

}  // namespace

int DiscoverSfxModules()
{
    s_sfxModules.clear();
    for (const char* file : kModuleFiles)
        s_sfxModules[file] = IsLoadableModule(file);
    s_sfxModules[kBuiltinSfxModule] = HasBuiltinModule();

    s_sfxModuleCount = 0;
    for (std::map<std::string, int>::const_iterator entry = s_sfxModules.begin(); entry != s_sfxModules.end();
         ++entry)
        s_sfxModuleCount += entry->second;
    return s_sfxModuleCount;
}

int IsSfxModuleAvailable(const char* moduleName)
{
    std::map<std::string, int>::const_iterator entry = s_sfxModules.find(moduleName);
    return entry == s_sfxModules.end() ? 0 : entry->second;
}

int GetSfxModuleCount()
{
    return s_sfxModuleCount;
}

int CArc7ZipSfx::Init()
{
    Describe({1, "7ZSFX", ".exe", "7-Zip32.dll　-　7Z自己解凍(*.exe)", 1, 1, 0});
    ProbeDll();
    m_dll.Unload();
    if (DiscoverSfxModules() == 0)
        m_available = 0;
    return m_available;
}

int CArc7ZipSfx::Run(HWND owner, char* buffer, size_t size)
{
    std::string commandLine;
    BuildCommand(m_job->OutputFile.c_str(), &commandLine);
    m_dll.Load();
    int result = m_dll.Command(owner, commandLine.c_str(), buffer, static_cast<DWORD>(size));
    if (result != 0)
        m_dll.Unload();
    return result;
}
