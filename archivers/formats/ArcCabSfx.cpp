#include "archivers/formats/ArcCabSfx.h"

#include "archivers/formats/SelfExtractingRun.h"
#include "settings/CompressJob.h"

namespace {

const char kTemporaryPrefix[] = "cb";
const char kTemporaryExtension[] = ".cab";

}  // namespace

int CArcCabSfx::Init()
{
    Describe({5, "CABSFX", ".exe", "Cab32.dll　-　CAB自己解凍(*.exe)", 1, 0, 0});
    m_available = m_dll.Load();
    m_dll.Unload();
    return m_available;
}

int CArcCabSfx::Run(HWND owner, char* buffer, size_t size)
{
    CSelfExtractingRun run;
    if (!run.ChooseNames(m_job->OutputFile, kTemporaryPrefix, kTemporaryExtension, buffer, size))
        return kSfxNoTemporaryName;
    std::string archiveLine;
    BuildCabCommand(run.Archive(), &archiveLine);
    std::string programLine = "-f \"" + run.Archive() + "\" \"" + run.Folder() + "\\\"";
    return run.Run(&m_dll, owner, archiveLine, programLine, buffer, size);
}
