#include "shellext/ShellExtFactory.h"

#include "shellext/ModuleState.h"
#include "shellext/ShellExt.h"

#include <new>

CShellExtFactory::CShellExtFactory() : m_references(0)
{
    AddLiveObject();
}

CShellExtFactory::~CShellExtFactory()
{
    RemoveLiveObject();
}

STDMETHODIMP CShellExtFactory::QueryInterface(REFIID iid, void** object)
{
    if (object == NULL)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory))
    {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CShellExtFactory::AddRef()
{
    return ++m_references;
}

STDMETHODIMP_(ULONG) CShellExtFactory::Release()
{
    ULONG references = --m_references;
    if (references == 0)
        delete this;
    return references;
}

STDMETHODIMP CShellExtFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (object == NULL)
        return E_POINTER;
    *object = NULL;
    if (outer != NULL)
        return CLASS_E_NOAGGREGATION;

    CShellExt* extension = new (std::nothrow) CShellExt();
    if (extension == NULL)
        return E_OUTOFMEMORY;
    // The new object has no references yet: a failed query leaves it to us.
    HRESULT result = extension->QueryInterface(iid, object);
    if (FAILED(result))
        delete extension;
    return result;
}

STDMETHODIMP CShellExtFactory::LockServer(BOOL)
{
    return S_OK;
}
