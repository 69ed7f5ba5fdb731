#include "tests/archivers/FormatRun.h"

#include "archivers/formats/ArcCab.h"
#include "archivers/formats/ArcLha.h"
#include "archivers/formats/ArcTessik7z.h"
#include "archivers/formats/ArcTessikZip.h"
#include "archivers/formats/ArcZip.h"
#include "archivers/formats/FormatRegistry.h"

#include <gtest/gtest.h>

#include <ctype.h>
#include <string.h>

CFormatRun RunFormat(const CStandInFormats& standIns, int id, CCompressJob* job,
                     const std::vector<std::pair<std::string, std::string>>& files)
{
    CFormatRun run;
    CArc* arc = FindFormat(id);
    if (arc == nullptr)
    {
        ADD_FAILURE() << "format " << id << " is not registered";
        return run;
    }
    standIns.ResetJournal(DllOf(id));
    EXPECT_EQ(1, arc->BeginList(job));
    for (const auto& file : files)
        EXPECT_EQ(1, arc->AddFile(file.first.c_str(), file.second.c_str()));
    arc->EndList();
    if (CArcCab* cab = dynamic_cast<CArcCab*>(arc))
    {
        for (const auto& entry : cab->ListFiles())
            run.listFiles.push_back(entry.second);
    }
    else if (CArcTessikZip* own = dynamic_cast<CArcTessikZip*>(arc))
    {
        for (const auto& entry : own->ListFiles())
            run.listFiles.push_back(entry.second);
    }
    else if (CArcTessik7z* own7z = dynamic_cast<CArcTessik7z*>(arc))
    {
        for (const auto& entry : own7z->ListFiles())
            run.listFiles.push_back(entry.second);
    }
    else if (CArcLha* lha = dynamic_cast<CArcLha*>(arc))
    {
        run.listFiles.push_back(lha->ListFile());
    }
    else if (CArcZip* zip = dynamic_cast<CArcZip*>(arc))
    {
        run.listFiles.push_back(zip->ListFile());
    }
    char output[4096];
    memset(output, 'x', sizeof(output));
    output[0] = '\0';
    run.result = arc->Run(NULL, output, sizeof(output));
    run.output.assign(output, strnlen(output, sizeof(output)));
    arc->Cleanup();
    run.calls = standIns.Calls(DllOf(id), EntryOf(id));
    return run;
}

const char* DllOf(int id)
{
    if (id == 3)
        return "TessikZip.dll";
    if (id == 10)
        return "Tessik7z.dll";
    return id <= 5 ? "Cab32.dll" : id <= 7 ? "Unlha32.dll" : "Zip32j.dll";
}

const char* EntryOf(int id)
{
    if (id == 3)
        return "TessikZip";
    if (id == 10)
        return "Tessik7z";
    return id <= 5 ? "Cab" : id <= 7 ? "Unlha" : "Zip";
}

std::string FindTemporaryName(const std::string& line, const std::string& folder, const std::string& prefix,
                              const std::string& extension)
{
    std::string start = folder + "\\" + prefix;
    size_t at = line.find(start);
    if (at == std::string::npos || line.size() < at + start.size() + 8 + extension.size())
        return "";
    std::string name = line.substr(at, start.size() + 8 + extension.size());
    for (size_t i = start.size(); i < start.size() + 8; ++i)
    {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (!isxdigit(c) || isupper(c))
            return "";
    }
    return name.compare(name.size() - extension.size(), extension.size(), extension) == 0 ? name : "";
}
