#pragma once

#include <string>

// Where a DLL's work shows how far it got while it runs, and waits in
// between. The progress window implements it; work without a window gets
// none.
class CProgressSink
{
public:
    // The latest line, UTF-8.
    virtual void Show(const std::string& latestLine) = 0;
    // Waits about ms milliseconds (serving the window); false asks to cancel.
    virtual bool Wait(unsigned long ms) = 0;

protected:
    ~CProgressSink() {}
};
