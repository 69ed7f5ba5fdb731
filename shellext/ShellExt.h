#pragma once

#include "common/ScopedHandle.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

// The context-menu extension object: takes the selection from the data object
// the shell hands to Initialize and offers one command that passes it to the
// main program. Counts as one live object while it exists.
class CShellExt final : public IShellExtInit, public IContextMenu
{
public:
    CShellExt();

    // IUnknown (shared by both interfaces)
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* dataObject, HKEY programKey) override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand,
                                  UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT* reserved, CHAR* buffer,
                                  UINT bufferSize) override;

private:
    friend class CShellExtFactory;  // destroys an object that no one ever referenced

    ~CShellExt();
    CShellExt(const CShellExt&);
    CShellExt& operator=(const CShellExt&);

    HRESULT ReadSelection(HDROP drop);

    // Apartment model: one thread at a time uses the object.
    ULONG m_references;
    CComPtr<IDataObject> m_dataObject;
    std::vector<std::wstring> m_paths;
};
