// Path completion for the output field: switched on through the shell when the
// platform has it, failing quietly when it does not.
#include "ui/framework/PathCompletion.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

namespace {

// An edit field in a window of its own.
class CEditHost
{
public:
    CEditHost()
    {
        m_window = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 80, NULL, NULL, NULL, NULL);
        m_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 280, 20, m_window,
                                 NULL, NULL, NULL);
    }
    ~CEditHost() { DestroyWindow(m_window); }

    HWND Edit() const { return m_edit; }
    LONG_PTR Procedure() const { return GetWindowLongPtrA(m_edit, GWLP_WNDPROC); }

private:
    HWND m_window;
    HWND m_edit;
};

}  // namespace

TEST(PathCompletion, WithoutTheShellFunctionEveryRequestFailsAndTheFieldStaysAsItWas)
{
    for (const char* library : {"kernel32.dll", "tessik-no-such-library.dll"})
    {
        CPathCompletion completion(library);
        CEditHost host;
        LONG_PTR before = host.Procedure();
        EXPECT_EQ(E_FAIL, completion.Enable(host.Edit(), SHACF_FILESYSTEM)) << library;
        EXPECT_EQ(E_FAIL, completion.Enable(host.Edit(), SHACF_FILESYSTEM)) << library;
        EXPECT_EQ(before, host.Procedure()) << library;
        SetWindowTextA(host.Edit(), "C:\\work");
        char text[16] = "";
        GetWindowTextA(host.Edit(), text, sizeof(text));
        EXPECT_STREQ("C:\\work", text);
    }
}

TEST(PathCompletion, TheShellFunctionIsFoundAndCalled)
{
    // Windows answers S_OK and subclasses the field; Wine's function is a stub
    // that answers S_FALSE. Either way it was found and reached.
    CPathCompletion completion;
    completion.InitializeCom();
    CEditHost host;
    HRESULT result = completion.Enable(host.Edit(), SHACF_FILESYSTEM);
    EXPECT_TRUE(SUCCEEDED(result)) << std::hex << result;
}
