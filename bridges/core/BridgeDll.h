#pragma once

#include <windows.h>

// What a bridge DLL keeps from its load to its release: its module, which
// the progress window's class is registered for, and its UTF-8 mode. The
// Common Archiver API makes the mode the DLL's own state rather than a
// call's: <Prefix>SetUnicodeMode switches it for every command after it.
// Each bridge DLL links its own copy of the core, so each has its own, and
// it ends with the DLL's release. Only SetBridgeUnicodeMode (BridgeRun.h)
// switches the mode, and only the program-text helpers (BridgeText.h) read it.
class CBridgeDll
{
public:
    // The one of this module.
    static CBridgeDll& This();

    void Attach(HINSTANCE module) { m_module = module; }
    HINSTANCE Module() const { return m_module; }

    // While it is on, the command line, the list files and the text put into
    // the caller's buffer are UTF-8; while it is off, Shift_JIS.
    void SetUnicodeMode(bool on) { m_unicodeMode = on; }
    bool IsUnicodeModeOn() const { return m_unicodeMode; }

private:
    // Constant-initialised, so it holds its values before any DllMain runs.
    constexpr CBridgeDll() : m_module(NULL), m_unicodeMode(false) {}
    CBridgeDll(const CBridgeDll&) = delete;
    CBridgeDll& operator=(const CBridgeDll&) = delete;

    HINSTANCE m_module;
    bool m_unicodeMode;
};
