#pragma once

#include <string>

// TessikZip.dll loaded by its full path from bin/tessikzip/ (bin/ itself
// holds no archiver DLL), its command entry called in the test process.
struct CZipRunResult
{
    int code = -1;
    std::string text;  // the output buffer, the DLL's text
};

class CTessikZipDll
{
public:
    CTessikZipDll();
    ~CTessikZipDll();

    bool IsLoaded() const { return m_module != nullptr; }
    void SetUnicodeMode(bool on);
    CZipRunResult Run(const std::string& line);

private:
    CTessikZipDll(const CTessikZipDll&);
    CTessikZipDll& operator=(const CTessikZipDll&);

    void* m_module;
};
