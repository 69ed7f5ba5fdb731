#pragma once

#include <windows.h>
#include <unknwn.h>

// Class factory of the extension object; counts as one live object while it exists.
class CShellExtFactory final : public IClassFactory
{
public:
    CShellExtFactory();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IClassFactory
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~CShellExtFactory();
    CShellExtFactory(const CShellExtFactory&);
    CShellExtFactory& operator=(const CShellExtFactory&);

    // Apartment model: one thread at a time uses the object.
    ULONG m_references;
};
