#include "filters/StringNkf.h"

#include <string.h>
#include <wchar.h>

namespace
{

// The converter functions of mlang.dll. They take byte and unit counts without
// the terminator.
typedef HRESULT(WINAPI* ConvertToUnicodeFunc)(DWORD* mode, DWORD encoding, const char* source,
                                              int* sourceSize, wchar_t* target, int* targetSize);
typedef HRESULT(WINAPI* ConvertFromUnicodeFunc)(DWORD* mode, DWORD encoding, const wchar_t* source,
                                                int* sourceSize, char* target, int* targetSize);

const DWORD kCodePageJis = 50220;
const DWORD kCodePageEuc = 51932;
const DWORD kCodePageAutomatic = 50932;  // the converter's own recognition of the three

DWORD CodePageOf(int code)
{
    switch (code)
    {
    case kNkfJis:
        return kCodePageJis;
    case kNkfEuc:
        return kCodePageEuc;
    default:
        return kCodePageAutomatic;
    }
}

bool UsesEngine(int code)
{
    return code == kNkfJis || code == kNkfEuc || code == kNkfAutomatic;
}

// Widest output of the converter for one UTF-16 unit: an escape into the kanji
// set, two bytes and an escape back.
const int kMaxEngineBytesPerUnit = 8;

}  // namespace

StringNkf::StringNkf()
    : m_inputCode(kNkfAutomatic), m_outputCode(kNkfAnsi), m_mlang(nullptr)
{
}

StringNkf::~StringNkf()
{
    if (m_mlang)
        FreeLibrary(m_mlang);
}

int StringNkf::SetInputCode(int code)
{
    if (code < kNkfAnsi || code > kNkfAutomatic)
        return 0;
    m_inputCode = code;
    return 1;
}

int StringNkf::SetOutputCode(int code)
{
    if (code < kNkfAnsi || code > kNkfUtf16)
        return 0;
    m_outputCode = code;
    return 1;
}

int StringNkf::Begin()
{
    m_inputState = CEngineState();
    m_outputState = CEngineState();
    if (!UsesEngine(m_inputCode) && !UsesEngine(m_outputCode))
        return 1;
    if (!m_mlang)
        m_mlang = LoadLibraryA("mlang.dll");
    return m_mlang != nullptr;
}

int StringNkf::End()
{
    return 1;
}

const void* StringNkf::Convert(const void* text)
{
    const char* ansi = ReadInput(text);
    if (!ansi)
        return nullptr;
    switch (m_outputCode)
    {
    case kNkfUtf16:
        return AnsiToWide(ansi);
    case kNkfJis:
    case kNkfEuc:
        return AnsiToEngine(ansi);
    default:
        return ansi;
    }
}

const char* StringNkf::ReadInput(const void* text)
{
    switch (m_inputCode)
    {
    case kNkfAnsi:
        return static_cast<const char*>(text);
    case kNkfUtf16:
        return WideToAnsi(static_cast<const wchar_t*>(text));
    default:
        return EngineToAnsi(static_cast<const char*>(text));
    }
}

const char* StringNkf::WideToAnsi(const wchar_t* text)
{
    // Sized by the platform: with a multi-byte code page other than Shift_JIS one
    // unit can take more than two bytes.
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        size = 1;
    m_ansiResult.reset(new char[size]);
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, m_ansiResult.get(), size, nullptr, nullptr) <= 0)
        m_ansiResult[0] = '\0';
    return m_ansiResult.get();
}

const wchar_t* StringNkf::AnsiToWide(const char* text)
{
    // One byte never gives more than one UTF-16 unit.
    size_t units = strlen(text) + 1;
    m_wideResult.reset(new wchar_t[units]);
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, m_wideResult.get(), static_cast<int>(units)) <= 0)
        m_wideResult[0] = L'\0';
    return m_wideResult.get();
}

const char* StringNkf::EngineToAnsi(const char* text)
{
    ConvertToUnicodeFunc convert = m_mlang
        ? reinterpret_cast<ConvertToUnicodeFunc>(GetProcAddress(m_mlang, "ConvertINetMultiByteToUnicode"))
        : nullptr;
    if (!convert)
        return nullptr;

    int sourceSize = static_cast<int>(strlen(text));
    std::wstring wide(sourceSize + 1, L'\0');
    int wideSize = sourceSize;
    if (sourceSize > 0 &&
        convert(&m_inputState.mode, CodePageOf(m_inputCode), text, &sourceSize, &wide[0], &wideSize) != S_OK)
        return nullptr;
    wide.resize(sourceSize > 0 ? wideSize : 0);
    return WideToAnsi(wide.c_str());
}

const char* StringNkf::AnsiToEngine(const char* text)
{
    ConvertFromUnicodeFunc convert = m_mlang
        ? reinterpret_cast<ConvertFromUnicodeFunc>(GetProcAddress(m_mlang, "ConvertINetUnicodeToMultiByte"))
        : nullptr;
    if (!convert)
        return nullptr;

    const wchar_t* wide = AnsiToWide(text);
    int wideSize = static_cast<int>(wcslen(wide));
    m_engineText.assign(static_cast<size_t>(wideSize) * kMaxEngineBytesPerUnit + 1, '\0');
    int size = static_cast<int>(m_engineText.size()) - 1;
    if (wideSize > 0 &&
        convert(&m_outputState.mode, CodePageOf(m_outputCode), wide, &wideSize, &m_engineText[0], &size) != S_OK)
        return nullptr;
    m_engineText.resize(wideSize > 0 ? size : 0);
    return m_engineText.c_str();
}
