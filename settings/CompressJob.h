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

    int FormatId() const { return Setting.DefaultArcType; }
};
