#include "shellext/ShellExt.h"

#include "common/HandOff.h"
#include "common/ScopedHandle.h"
#include "common/ShiftJis.h"
#include "shellext/CompressCommand.h"
#include "shellext/ModuleState.h"

#include <shellapi.h>
#include <string.h>
#include <wchar.h>

#include <new>

namespace {

// The commands, by their offset from the first command id. The second is
// offered only for more than one selected item.
struct CCommand
{
    const char* menuText;
    const wchar_t* helpText;
    const char* helpTextAnsi;
    const char* verb;
    const wchar_t* wideVerb;
    const char* token;
};
const CCommand kCommands[] = {
    {"Tessikで圧縮(&E)", L"選択したファイルを、Tessikで圧縮します。", "選択したファイルを、Tessikで圧縮します。",
     "TessikCompress", L"TessikCompress", kCompressModeToken},
    {"Tessikで個別に圧縮(&I)", L"選択した項目を、それぞれ別の書庫にTessikで圧縮します。",
     "選択した項目を、それぞれ別の書庫にTessikで圧縮します。", "TessikCompressEach", L"TessikCompressEach",
     kEachModeToken},
};
const UINT kCompressCommand = 0;
const UINT kEachCommand = 1;

// The command a verb names (an offset or one of our verb texts), -1 for none.
int CommandOfVerb(LPCSTR verb)
{
    if (IS_INTRESOURCE(verb))
        return LOWORD(verb) <= kEachCommand ? LOWORD(verb) : -1;
    for (UINT i = 0; i < sizeof(kCommands) / sizeof(kCommands[0]); ++i)
        if (lstrcmpiA(verb, kCommands[i].verb) == 0)
            return static_cast<int>(i);
    return -1;
}

void CopyWide(const wchar_t* text, wchar_t* buffer, UINT size)
{
    size_t length = wcslen(text);
    if (length >= size)
        length = size - 1;
    wmemcpy(buffer, text, length);
    buffer[length] = L'\0';
}

}  // namespace

CShellExt::CShellExt() : m_references(0)
{
    AddLiveObject();
}

CShellExt::~CShellExt()
{
    RemoveLiveObject();
}

STDMETHODIMP CShellExt::QueryInterface(REFIID iid, void** object)
{
    if (object == NULL)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellExtInit))
        *object = static_cast<IShellExtInit*>(this);
    else if (IsEqualIID(iid, IID_IContextMenu))
        *object = static_cast<IContextMenu*>(this);
    else
    {
        *object = NULL;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CShellExt::AddRef()
{
    return ++m_references;
}

STDMETHODIMP_(ULONG) CShellExt::Release()
{
    ULONG references = --m_references;
    if (references == 0)
        delete this;
    return references;
}

STDMETHODIMP CShellExt::Initialize(PCIDLIST_ABSOLUTE, IDataObject* dataObject, HKEY)
{
    // A second call describes a new selection: nothing of the old one may remain.
    m_dataObject.Reset(nullptr);
    m_paths.clear();
    // The shell passes no data object for a folder's background menu.
    if (dataObject == NULL)
        return E_INVALIDARG;
    m_dataObject.Reset(dataObject);

    FORMATETC format = {CF_HDROP, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    CStorageMedium medium;
    if (FAILED(m_dataObject->GetData(&format, medium.Out())))
        return E_INVALIDARG;
    CGlobalLock lock(medium.Global());
    if (lock.Data() == NULL)
        return E_INVALIDARG;
    return ReadSelection(static_cast<HDROP>(lock.Data()));
}

HRESULT CShellExt::ReadSelection(HDROP drop)
{
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, NULL, 0);
    if (count == 0)
        return E_INVALIDARG;
    try
    {
        // Wide names: a selected name beyond Shift_JIS reaches the program as
        // it is, where the ANSI query would give "?" or a look-alike.
        std::vector<wchar_t> buffer;
        for (UINT i = 0; i < count; ++i)
        {
            // Every path is fetched whole, however long.
            UINT length = DragQueryFileW(drop, i, NULL, 0);
            if (length == 0)
                return E_INVALIDARG;
            buffer.assign(static_cast<size_t>(length) + 1, L'\0');
            if (DragQueryFileW(drop, i, buffer.data(), static_cast<UINT>(buffer.size())) == 0)
                return E_INVALIDARG;
            buffer.back() = L'\0';
            m_paths.push_back(buffer.data());
        }
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP CShellExt::QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand,
                                         UINT flags)
{
    if ((flags & CMF_DEFAULTONLY) && !(flags & (CMF_VERBSONLY | CMF_EXPLORE)))
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
    // No free command id: an id outside the range would belong to another handler.
    if (firstCommand > lastCommand)
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);

    InsertMenuA(menu, index, MF_BYPOSITION | MF_SEPARATOR, 0, NULL);
    InsertMenuA(menu, index + 1, MF_BYPOSITION | MF_STRING, firstCommand + kCompressCommand,
                kCommands[kCompressCommand].menuText);
    if (m_paths.size() < 2 || lastCommand - firstCommand < kEachCommand)
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, kCompressCommand + 1);
    InsertMenuA(menu, index + 2, MF_BYPOSITION | MF_STRING, firstCommand + kEachCommand,
                kCommands[kEachCommand].menuText);
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, kEachCommand + 1);
}

STDMETHODIMP CShellExt::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    int command = info != NULL ? CommandOfVerb(info->lpVerb) : -1;
    // The menu offers one archive per item only for several items.
    if (command < 0 || (command == static_cast<int>(kEachCommand) && m_paths.size() < 2))
        return E_INVALIDARG;
    try
    {
        RunCompressCommand(m_paths, kCommands[command].token);
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP CShellExt::GetCommandString(UINT_PTR commandId, UINT type, UINT*, CHAR* buffer, UINT bufferSize)
{
    if (commandId > kEachCommand)
        return E_INVALIDARG;
    const CCommand& command = kCommands[commandId];
    UINT kind = type & ~GCS_UNICODE;
    if (kind == GCS_VALIDATEA)
        return S_OK;
    if (buffer == NULL || bufferSize == 0)
        return S_OK;
    // The size counts characters of the requested kind: an ANSI request gets
    // the ANSI text so that nothing is written past its buffer.
    bool verb = kind == GCS_VERBA;
    if (type & GCS_UNICODE)
        CopyWide(verb ? command.wideVerb : command.helpText, reinterpret_cast<wchar_t*>(buffer), bufferSize);
    else
        CopyAtWholeChars(verb ? command.verb : command.helpTextAnsi, buffer, bufferSize);
    return S_OK;
}
