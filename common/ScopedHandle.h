#pragma once

#include <windows.h>
#include <objidl.h>

// One scoped owner per kind of handle: the destructor releases what the object
// holds, so no early return can leak it. None of them can be copied.

// Handles closed with CloseHandle (files, events); INVALID_HANDLE_VALUE and NULL
// both mean "nothing held".
class CScopedHandle
{
public:
    explicit CScopedHandle(HANDLE handle = NULL) : m_handle(handle) {}
    ~CScopedHandle() { Close(); }

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != NULL && m_handle != INVALID_HANDLE_VALUE; }
    void Close()
    {
        if (IsValid())
            CloseHandle(m_handle);
        m_handle = NULL;
    }
    // Closes what is held and holds handle instead.
    void Reset(HANDLE handle)
    {
        Close();
        m_handle = handle;
    }

private:
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;

    HANDLE m_handle;
};

// A search handle of FindFirstFileA, closed with FindClose.
class CScopedFind
{
public:
    explicit CScopedFind(HANDLE find) : m_find(find) {}
    ~CScopedFind()
    {
        if (IsValid())
            FindClose(m_find);
    }

    HANDLE Get() const { return m_find; }
    bool IsValid() const { return m_find != INVALID_HANDLE_VALUE; }

private:
    CScopedFind(const CScopedFind&) = delete;
    CScopedFind& operator=(const CScopedFind&) = delete;

    HANDLE m_find;
};

// A window's device context from GetDC, given back with ReleaseDC.
class CScopedWindowDC
{
public:
    explicit CScopedWindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~CScopedWindowDC()
    {
        if (m_dc != NULL)
            ReleaseDC(m_window, m_dc);
    }

    HDC Get() const { return m_dc; }

private:
    CScopedWindowDC(const CScopedWindowDC&) = delete;
    CScopedWindowDC& operator=(const CScopedWindowDC&) = delete;

    HWND m_window;
    HDC m_dc;
};

// A hook of SetWindowsHookEx, removed with UnhookWindowsHookEx.
class CScopedHook
{
public:
    explicit CScopedHook(HHOOK hook = NULL) : m_hook(hook) {}
    ~CScopedHook() { Reset(NULL); }

    HHOOK Get() const { return m_hook; }
    void Reset(HHOOK hook)
    {
        if (m_hook != NULL)
            UnhookWindowsHookEx(m_hook);
        m_hook = hook;
    }

private:
    CScopedHook(const CScopedHook&) = delete;
    CScopedHook& operator=(const CScopedHook&) = delete;

    HHOOK m_hook;
};

// A loaded library, freed with FreeLibrary.
class CScopedLibrary
{
public:
    explicit CScopedLibrary(HMODULE module) : m_module(module) {}
    ~CScopedLibrary()
    {
        if (m_module != NULL)
            FreeLibrary(m_module);
    }

    HMODULE Get() const { return m_module; }

private:
    CScopedLibrary(const CScopedLibrary&) = delete;
    CScopedLibrary& operator=(const CScopedLibrary&) = delete;

    HMODULE m_module;
};

// An icon the program loaded itself (LoadIconAtSize), destroyed with DestroyIcon.
class CScopedIcon
{
public:
    CScopedIcon() : m_icon(NULL) {}
    ~CScopedIcon() { Reset(NULL); }

    HICON Get() const { return m_icon; }
    void Reset(HICON icon)
    {
        if (m_icon != NULL)
            DestroyIcon(m_icon);
        m_icon = icon;
    }

private:
    CScopedIcon(const CScopedIcon&) = delete;
    CScopedIcon& operator=(const CScopedIcon&) = delete;

    HICON m_icon;
};

// A global memory block kept locked for the object's lifetime.
class CGlobalLock
{
public:
    explicit CGlobalLock(HGLOBAL memory) : m_memory(memory), m_data(GlobalLock(memory)) {}
    ~CGlobalLock()
    {
        if (m_data != NULL)
            GlobalUnlock(m_memory);
    }

    void* Data() const { return m_data; }

private:
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;

    HGLOBAL m_memory;
    void* m_data;
};

// A storage medium received from IDataObject::GetData, released with ReleaseStgMedium.
class CStorageMedium
{
public:
    CStorageMedium() : m_medium() {}
    ~CStorageMedium() { ReleaseStgMedium(&m_medium); }

    STGMEDIUM* Out() { return &m_medium; }
    HGLOBAL Global() const { return m_medium.hGlobal; }

private:
    CStorageMedium(const CStorageMedium&) = delete;
    CStorageMedium& operator=(const CStorageMedium&) = delete;

    STGMEDIUM m_medium;
};

// One reference to a COM object. Reset releases the old reference before
// taking (and adding to) the new one.
template <class T>
class CComPtr
{
public:
    CComPtr() : m_object(nullptr) {}
    ~CComPtr() { Reset(nullptr); }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // Adds a reference to object (which may be nullptr) and holds it.
    void Reset(T* object)
    {
        if (object != nullptr)
            object->AddRef();
        if (m_object != nullptr)
            m_object->Release();
        m_object = object;
    }
    // Takes over a reference the caller already owns.
    void Attach(T* object)
    {
        Reset(nullptr);
        m_object = object;
    }

private:
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;

    T* m_object;
};
