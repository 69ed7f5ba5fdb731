#include "archivers/ArcZipSfx.h"

#include "app/CompressJob.h"
#include "archivers/SelfExtractingRun.h"

namespace {

const char kTemporaryPrefix[] = "zp";
const char kTemporaryExtension[] = ".zip";

}  // namespace

int CArcZipSfx::Init()
{
    m_id = 9;
    m_name = "ZIPSFX";
    m_extension = ".exe";
    m_displayName = "Zip32j.dll　-　ZIP自己解凍(*.exe)";
    m_selfExtracting = 1;
    m_supportsAppend = 0;
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
