#pragma once

#include <string>

// One of our archiver DLLs loaded by its full path below bin/ (bin/ itself
// holds no archiver DLL), its command entry called in the test process:
// TessikZip.dll from bin/tessikzip/ unless told otherwise.
struct CZipRunResult
{
    int code = -1;
    std::string text;  // the output buffer, the DLL's text
};

class CTessikZipDll
{
public:
    CTessikZipDll(const char* relativePath = "tessikzip\\TessikZip.dll", const char* prefix = "TessikZip");
    ~CTessikZipDll();

    bool IsLoaded() const { return m_module != nullptr; }
    void SetUnicodeMode(bool on);
    CZipRunResult Run(const std::string& line);

private:
    CTessikZipDll(const CTessikZipDll&);
    CTessikZipDll& operator=(const CTessikZipDll&);

    void* m_module;
    std::string m_prefix;
};
