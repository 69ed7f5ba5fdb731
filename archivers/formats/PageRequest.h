#pragma once

#include <string>

// The settings pages the format builders add. The page classes live with the
// dialogs; a builder only names the kind and the tree caption, so this layer
// stays free of window code.
enum
{
    kPageSevenZip = 0,     // dialog 118, the 7z options of 7-Zip32.dll
    kPageSevenZipZip = 1,  // dialog 107, the ZIP options of 7-Zip32.dll
    kPageCab = 2,          // dialog 117
    kPageLha = 3,          // dialog 113
    kPageZip = 4,          // dialog 116, Zip32j.dll
    kPageTessikZip = 5,    // dialog 123, TessikZip.dll
    kPageTessik7z = 6,     // dialog 125, Tessik7z.dll
};

// Handed by the settings dialog to CArc::CreatePage. The builder fills in the
// tree caption and asks for its page; the dialog creates the page hidden under
// the parent item it knows and pairs the two.
struct CPageRequest
{
    std::string Caption;

    // Creates the page of that kind; 1 when it was created.
    virtual int CreatePage(int pageKind) = 0;

protected:
    ~CPageRequest() = default;
};
