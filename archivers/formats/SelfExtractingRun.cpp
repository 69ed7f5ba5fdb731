#include "archivers/formats/SelfExtractingRun.h"

#include "archivers/dlls/ArchiverDll.h"
#include "common/PathUtil.h"

#include <string.h>

namespace {

const char kProgramExtension[] = ".exe";
// MakeUniqueTempName steps on when a value repeats, so a few tries find a
// name whose program name is free too; the bound only guards a full folder.
const int kMaxNameTries = 1000;

const char kNoTemporaryName[] =
    "出力フォルダに一時ファイルを作成できないため、自己解凍書庫を作成できませんでした\r\n"
    "出力フォルダを確認してください\r\n";
const char kProgramNotMade[] = "アーカイバーDLLは成功を返しましたが、自己解凍書庫が作成されていません";
const char kProgramNotRenamed[] =
    "自己解凍書庫を出力ファイル名に変更できませんでした\r\n"
    "自己解凍書庫は次のファイル名で残っています\r\n";

// Puts our text before whatever the DLL wrote, cut to the buffer; the job shows
// the buffer when the run fails.
void PrependText(const std::string& text, char* buffer, size_t size)
{
    if (size == 0)
        return;
    std::string dllText(buffer, strnlen(buffer, size));
    std::string whole = dllText.empty() ? text : text + "\r\n" + dllText;
    size_t length = whole.size() < size - 1 ? whole.size() : size - 1;
    memcpy(buffer, whole.data(), length);
    buffer[length] = '\0';
}

}  // namespace

int CSelfExtractingRun::ChooseNames(const std::string& outputPath, const char* prefix, const char* extension,
                                    char* buffer, size_t size)
{
    m_outputPath = outputPath;
    m_folder.clear();
    m_archive.clear();
    m_program.clear();

    char folder[kPathBufferSize] = "";
    char archive[kPathBufferSize];
    char program[kPathBufferSize];
    if (GetParentFolder(outputPath.c_str(), folder, sizeof(folder)) > 0)
    {
        for (int attempt = 0; attempt < kMaxNameTries; ++attempt)
        {
            if (!MakeUniqueTempName(folder, prefix, extension, archive, sizeof(archive)) ||
                !ReplaceExtension(archive, kProgramExtension, program, sizeof(program)))
                break;
            if (GetPathType(program) == kPathMissing)
            {
                m_folder = folder;
                m_archive = archive;
                m_program = program;
                return 1;
            }
        }
    }
    if (size > 0)
        buffer[0] = '\0';
    PrependText(std::string(kNoTemporaryName) + (folder[0] != '\0' ? folder : outputPath.c_str()), buffer, size);
    return 0;
}

int CSelfExtractingRun::Run(CArchiverDll* dll, HWND owner, const std::string& archiveLine,
                            const std::string& programLine, char* buffer, size_t size) const
{
    dll->Load();
    int result = dll->Command(owner, archiveLine.c_str(), buffer, static_cast<DWORD>(size));
    if (result != 0)
    {
        dll->Unload();
        // The name was free before the call: whatever is there now is the
        // DLL's unfinished archive.
        DeleteFileA(m_archive.c_str());
        return result;
    }

    result = dll->Command(owner, programLine.c_str(), buffer, static_cast<DWORD>(size));
    dll->Unload();
    DeleteFileA(m_archive.c_str());
    if (result != 0)
    {
        // A program left by a failed conversion may be broken: it must not
        // take the output name.
        DeleteFileA(m_program.c_str());
        return result;
    }

    if (GetPathType(m_program.c_str()) != kPathFile)
    {
        PrependText(kProgramNotMade, buffer, size);
        return kSfxProgramNotMade;
    }
    if (!MoveFileA(m_program.c_str(), m_outputPath.c_str()))
    {
        PrependText(kProgramNotRenamed + m_program, buffer, size);
        return kSfxProgramNotRenamed;
    }
    return 0;
}
