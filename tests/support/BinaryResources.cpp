#include "tests/support/BinaryResources.h"

#include "tests/support/UnicodeTree.h"

#include <string.h>

CBinaryResources::CBinaryResources(const std::string& path)
    : m_module(LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE))
{
}

CBinaryResources::~CBinaryResources()
{
    if (m_module != NULL)
        FreeLibrary(m_module);
}

bool CBinaryResources::Read(LPCSTR type, WORD id, std::string* bytes) const
{
    HRSRC found = FindResourceA(m_module, MAKEINTRESOURCEA(id), type);
    if (found == NULL)
        return false;
    HGLOBAL loaded = LoadResource(m_module, found);
    const void* data = loaded != NULL ? LockResource(loaded) : NULL;
    if (data == NULL)
        return false;
    bytes->assign(static_cast<const char*>(data), SizeofResource(m_module, found));
    return true;
}

namespace {

BOOL CALLBACK CollectId(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(param)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

bool IsNameChar(char c)
{
    return c != '\0' && !strchr(" \t\r\n/>=", c);
}

void SkipSpace(const std::string& text, size_t* at)
{
    while (*at < text.size() && strchr(" \t\r\n", text[*at]) != NULL)
        ++*at;
}

std::string Trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::vector<WORD> CBinaryResources::Ids(LPCSTR type) const
{
    std::vector<WORD> ids;
    if (m_module != NULL)
        EnumResourceNamesA(m_module, type, CollectId, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

std::vector<CXmlElement> ReadXmlElements(const std::string& text)
{
    std::vector<CXmlElement> elements;
    size_t at = 0;
    while ((at = text.find('<', at)) != std::string::npos)
    {
        if (text.compare(at, 4, "<!--") == 0)
        {
            size_t end = text.find("-->", at);
            at = end == std::string::npos ? text.size() : end + 3;
            continue;
        }
        if (text.compare(at, 2, "<?") == 0 || text.compare(at, 2, "</") == 0)
        {
            ++at;
            continue;
        }
        ++at;
        CXmlElement element;
        size_t nameStart = at;
        while (at < text.size() && IsNameChar(text[at]))
            ++at;
        element.name = text.substr(nameStart, at - nameStart);
        size_t colon = element.name.find(':');
        if (colon != std::string::npos)
            element.name.erase(0, colon + 1);
        bool closed = false;
        for (;;)
        {
            SkipSpace(text, &at);
            if (at >= text.size())
                break;
            if (text[at] == '>')
            {
                ++at;
                break;
            }
            if (text.compare(at, 2, "/>") == 0)
            {
                at += 2;
                closed = true;
                break;
            }
            size_t attributeStart = at;
            while (at < text.size() && IsNameChar(text[at]))
                ++at;
            std::string attribute = text.substr(attributeStart, at - attributeStart);
            SkipSpace(text, &at);
            if (at >= text.size() || text[at] != '=')
            {
                ++at;
                continue;
            }
            ++at;
            SkipSpace(text, &at);
            char quote = at < text.size() ? text[at] : '\0';
            if (quote != '"' && quote != '\'')
                continue;
            size_t valueEnd = text.find(quote, at + 1);
            if (valueEnd == std::string::npos)
                break;
            element.attributes[attribute] = text.substr(at + 1, valueEnd - at - 1);
            at = valueEnd + 1;
        }
        if (!closed)
            element.text = Trimmed(text.substr(at, text.find('<', at) - at));
        elements.push_back(element);
    }
    return elements;
}

namespace {

bool ReadVersionBlock(const std::string& path, std::string* block)
{
    std::wstring wide = Widen(path);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
    if (size == 0)
        return false;
    block->assign(size, '\0');
    return GetFileVersionInfoW(wide.c_str(), 0, size, &(*block)[0]) != FALSE;
}

}  // namespace

std::string VersionString(const std::string& path, const char* name)
{
    std::string block;
    if (!ReadVersionBlock(path, &block))
        return std::string();
    std::wstring query = L"\\StringFileInfo\\041103A4\\" + Widen(name);
    void* value = NULL;
    UINT length = 0;
    if (!VerQueryValueW(&block[0], query.c_str(), &value, &length) || value == NULL || length == 0)
        return std::string();
    return Narrow(static_cast<const wchar_t*>(value));
}

bool FixedVersion(const std::string& path, VS_FIXEDFILEINFO* info)
{
    std::string block;
    void* value = NULL;
    UINT length = 0;
    if (!ReadVersionBlock(path, &block) || !VerQueryValueW(&block[0], L"\\", &value, &length) ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    *info = *static_cast<const VS_FIXEDFILEINFO*>(value);
    return true;
}
