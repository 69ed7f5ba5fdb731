#include "archivers/formats/ArcLhaSfx.h"

#include "archivers/formatsettings/LhaSettings.h"
#include "archivers/formats/SelfExtractingRun.h"
#include "settings/CompressJob.h"

namespace {

const char kTemporaryPrefix[] = "lh";
const char kTemporaryExtension[] = ".lzh";

// Conversion switches by SfxMode (DOS, Windows 3.x, Win32, Win32 extended),
// without and with the setup variant; DOS has no setup variant.
const char* const kKindSwitches[][2] = {
    {"-x1 -jw0 -ji1 -gu1 ", "-x1 -jw0 -ji1 -gu1 "},
    {"-jw2 -gu1 -x ", "-jw1 -gu1 -x "},
    {"-gw2 -x ", "-gw1 -x "},
    {"-gw4 -x ", "-gw3 -x "},
};
const int kKindCount = sizeof(kKindSwitches) / sizeof(kKindSwitches[0]);

}  // namespace

int CArcLhaSfx::Init()
{
    Describe({7, "LHASFX", ".exe", "Unlha32.dll　-　LHA自己解凍(*.exe)", 1, 0, 0});
    m_available = m_dll.Load();
    m_dll.Unload();
    return m_available;
}

int CArcLhaSfx::Run(HWND owner, char* buffer, size_t size)
{
    CSelfExtractingRun run;
    if (!run.ChooseNames(m_job->OutputFile, kTemporaryPrefix, kTemporaryExtension, buffer, size))
        return kSfxNoTemporaryName;
    std::string archiveLine;
    BuildLhaCommand(run.Archive(), &archiveLine);

    std::string options;
    if (!m_job->Setting.StatusDialog)
        options += "-n1 ";
    int kind = g_lhaSettings.SfxMode;
    if (kind >= 0 && kind < kKindCount)
        options += kKindSwitches[kind][g_lhaSettings.SfxSetup ? 1 : 0];
    std::string programLine = "s " + options + "\"" + run.Archive() + "\" \"" + run.Folder() + "\\\"";
    return run.Run(&m_dll, owner, archiveLine, programLine, buffer, size);
}
