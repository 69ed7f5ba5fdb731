#pragma once

#include "common/FileBytes.h"
#include "dllkit/DllFailure.h"

#include <windows.h>

#include <memory>
#include <string>

// The files of an add: the archive there already, held from its read to its
// replace without sharing writes (so that a second add at the same time
// fails instead of losing either's entries), and the temporary file beside
// it that takes its place only when complete.

// The folder a path's file lies in, with its separator ("." when none).
std::wstring FolderOfArchive(const std::wstring& path);

// kNone with *file null when there is no archive yet; notArchive for a
// folder; with *file open for reads (and writes, which keep other adders
// out, unless the file is read-only) otherwise.
EDllFailure OpenOldArchive(const std::wstring& path, EDllFailure notArchive, std::unique_ptr<CByteFile>* file,
                           DWORD* systemError);

// A new temporary file beside the archive, prefix*.tmp.
EDllFailure MakeTempBeside(const std::wstring& archive, const wchar_t* prefix, std::wstring* temp, DWORD* systemError,
                           std::wstring* subject);

// When failure is kNone, the temporary file, flushed already, takes the
// archive's place (the old one closed first); else, or when that fails, it
// is removed. The failure that stands.
EDllFailure ReplaceWithTemp(EDllFailure failure, const std::wstring& temp, const std::wstring& archive,
                            std::unique_ptr<CByteFile>* oldFile, DWORD* systemError, std::wstring* subject);
