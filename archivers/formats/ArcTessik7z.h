#pragma once

#include "archivers/dlls/Tessik7zDll.h"
#include "archivers/formats/ArcOwnDll.h"

#include <string>

// 7z archives through the program's own Tessik7z.dll (id 10); reads and
// writes the "T7Z" section.
class CArcTessik7z : public CArcOwnDll<CTessik7zDll>
{
public:
    int Init() override;
    int IsUsed() override;
    int GetPageCount() override;
    int CreatePage(CPageRequest* request, int index) override;
    int WriteSettings(CIniFile& ini) override;
    int ReadSettings(int layoutVersion, const char* iniPath) override;
    // With a password and header encryption on, the 7z's directory is
    // encrypted too.
    bool NamesNeedPassword() const override;
    // 7z keys on the password's characters, which the DLL takes from the text
    // it is given in either mode.
    bool PasswordBytesFollowUnicodeMode() const override { return false; }

protected:
    std::string Switches() const override;
};
