#pragma once

#include "settings/AppSetting.h"

#include <string>

// One compression job: the compress dialog's fields and a copy of the settings in
// which DefaultArcType is the job's format and FilterSw / OutFolderOpen carry the
// dialog's two check boxes.
struct CCompressJob
{
    std::string OutputFile;
    bool UsePassword = false;
    std::string Password;
    int FilterListIndex = -1;
    bool OutputExists = false;
    CAppSetting Setting;
    // The run the dialog starts by itself (quick start): nobody is there to
    // answer a question that would let files be left out, so it stops instead.
    bool Unattended = false;
    // Set by the job from its walk when a name has no ANSI form and the
    // format's DLL has a UTF-8 mode: the builder then gets the names, and
    // writes its command line and list files, in UTF-8. Off for every other
    // job, which gets the very bytes it always did.
    bool Utf8Names = false;

    int FormatId() const { return Setting.DefaultArcType; }
};
