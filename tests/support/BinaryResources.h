#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// What the system reads from a built binary without running it: resources
// found through the binary loaded as a data file (either architecture).
class CBinaryResources
{
public:
    explicit CBinaryResources(const std::string& path);
    ~CBinaryResources();
    bool IsLoaded() const { return m_module != NULL; }
    // The bytes of one resource; false when there is none of this type and id.
    bool Read(LPCSTR type, WORD id, std::string* bytes) const;
    // The ids of every resource of this type.
    std::vector<WORD> Ids(LPCSTR type) const;

private:
    CBinaryResources(const CBinaryResources&);
    CBinaryResources& operator=(const CBinaryResources&);

    HMODULE m_module;
};

// One element of an XML text, the manifest's kind: its name without a
// namespace prefix, its attributes and the text right after its start tag.
struct CXmlElement
{
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;
};

// Every element in document order; comments, processing instructions and end
// tags are passed over. Enough for a manifest, not a general XML reader.
std::vector<CXmlElement> ReadXmlElements(const std::string& text);

// One string of a version resource's Japanese (0411, code page 932) block;
// empty when missing.
std::string VersionString(const std::string& path, const char* name);
// The fixed part of the version resource; false when the file has none.
bool FixedVersion(const std::string& path, VS_FIXEDFILEINFO* info);
