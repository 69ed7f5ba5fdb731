#include "archivers/formats/ArcZipSfx.h"

#include "archivers/formats/SelfExtractingRun.h"
#include "settings/CompressJob.h"

namespace {

const char kTemporaryPrefix[] = "zp";
const char kTemporaryExtension[] = ".zip";

}  // namespace

int CArcZipSfx::Init()
{
    Describe({9, "ZIPSFX", ".exe", "Zip32j.dll　-　ZIP自己解凍(*.exe)", 1, 0, 0});
    m_available = m_dll.Load();
    m_supportsPassword = m_dll.QueryEncryption() ? 1 : 0;
    m_dll.Unload();
    return m_available;
}

int CArcZipSfx::Run(HWND owner, char* buffer, size_t size)
{
    CSelfExtractingRun run;
    if (!run.ChooseNames(m_job->OutputFile, kTemporaryPrefix, kTemporaryExtension, buffer, size))
        return kSfxNoTemporaryName;
    std::string archiveLine;
    BuildZipCommand(run.Archive(), &archiveLine);
    std::string programLine = "--sfx \"" + run.Archive() + "\"";
    return run.Run(&m_dll, owner, archiveLine, programLine, buffer, size);
}
