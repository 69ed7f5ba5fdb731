#pragma once

#include "archivers/formats/Arc7Zip.h"

// ZIP archives through 7-Zip32.dll (id 2): the only 7-Zip32 format that can add
// to an existing archive. Settings and pages belong to CArc7Zip.
class CArc7ZipZip : public CSharesFamilySettings<CArc7Zip>
{
public:
    int Init() override;
    void BuildCommand(const char* outputPath, std::string* commandLine) override;
    bool PasswordBytesFollowUnicodeMode() const override { return true; }
    // A ZIP's names are never encrypted.
    bool NamesNeedPassword() const override { return false; }
};
