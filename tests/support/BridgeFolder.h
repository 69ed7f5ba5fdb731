#pragma once

#include "tests/support/TestFolder.h"

// The bridges of the build (bin\bridges) and our own ZIP DLL
// (bin\tessikzip) copied into a fresh folder that is
// the DLL directory while the object lives, so that bare-name loads find them
// as beside the program. The destructor destroys the registered formats
// (releasing every DLL) and restores the default search order.
class CBridgeFolder
{
public:
    CBridgeFolder();
    ~CBridgeFolder();

    const std::string& Path() const { return m_folder.Path(); }

private:
    CBridgeFolder(const CBridgeFolder&) = delete;
    CBridgeFolder& operator=(const CBridgeFolder&) = delete;

    CTestFolder m_folder;
};
