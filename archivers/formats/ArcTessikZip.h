#pragma once

#include "archivers/dlls/TessikZipDll.h"
#include "archivers/formats/ArcOwnDll.h"

#include <string>

// ZIP archives through the program's own TessikZip.dll (id 3); reads and
// writes the "TZIP" section.
class CArcTessikZip : public CArcOwnDll<CTessikZipDll>
{
public:
    int Init() override;
    int IsUsed() override;
    int GetPageCount() override;
    int CreatePage(CPageRequest* request, int index) override;
    int WriteSettings(CIniFile& ini) override;
    int ReadSettings(int layoutVersion, const char* iniPath) override;
    // The DLL encrypts with the password's UTF-8 bytes (AES) or its ANSI
    // bytes (ZipCrypto) whatever its mode, converting the text it is given.
    bool PasswordBytesFollowUnicodeMode() const override { return false; }

protected:
    std::string Switches() const override;
};
