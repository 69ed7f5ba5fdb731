#pragma once

#include <windows.h>

#include <memory>
#include <string>

// Codes of StringNkf. The filter engine uses kNkfAnsi in and kNkfUtf16 out.
enum
{
    kNkfAnsi = 0,       // ANSI text of the system code page, as it is
    kNkfJis = 1,        // ISO-2022-JP
    kNkfEuc = 2,        // EUC-JP
    kNkfUtf16 = 3,      // UTF-16
    kNkfAutomatic = 4,  // input only: ISO-2022-JP, EUC-JP or Shift_JIS, told apart by the text
};

// Kanji code converter: reads a text in the input code and returns it in the
// output code. The Japanese mail encodings go through the platform's converter
// (mlang.dll, loaded only when such a code is chosen).
//
// Use: set the codes, Begin, Convert any number of texts, End. A returned text
// belongs to the converter and stays valid until the next Convert or until the
// converter goes away.
class StringNkf
{
public:
    StringNkf();
    ~StringNkf();

    // 0 to 4; 0 refuses any other value and keeps the code.
    int SetInputCode(int code);
    // 0 to 3; 0 refuses any other value and keeps the code.
    int SetOutputCode(int code);
    int GetInputCode() const { return m_inputCode; }
    int GetOutputCode() const { return m_outputCode; }

    // Prepares the conversion; 0 when a code needs the platform's converter and it
    // is not available.
    int Begin();
    // text: NUL-terminated, UTF-16 (const wchar_t*) for input code kNkfUtf16, else
    // ANSI (const char*). Returns UTF-16 for output code kNkfUtf16, else ANSI, or
    // nullptr when the platform's converter refused the text.
    const void* Convert(const void* text);
    int End();

private:
    StringNkf(const StringNkf&) = delete;
    StringNkf& operator=(const StringNkf&) = delete;

    // Converter state carried from one piece of text to the next (shift state of
    // ISO-2022-JP); zero at Begin.
    struct CEngineState
    {
        DWORD mode = 0;
    };

    const char* ReadInput(const void* text);
    const char* EngineToAnsi(const char* text);
    const char* AnsiToEngine(const char* text);
    const char* WideToAnsi(const wchar_t* text);
    const wchar_t* AnsiToWide(const char* text);

    int m_inputCode;
    int m_outputCode;
    CEngineState m_inputState;
    CEngineState m_outputState;
    std::unique_ptr<wchar_t[]> m_wideResult;
    std::unique_ptr<char[]> m_ansiResult;
    std::string m_engineText;  // text made by the platform's converter
    HMODULE m_mlang;
};
