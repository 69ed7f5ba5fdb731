#pragma once

#include "ui/framework/ControlWrapper.h"

#include <commctrl.h>

// An up-down control.
class CSpinWrapper : public CControlWrapper
{
public:
    // UDM_SETRANGE: 16-bit limits.
    void SetRange(int lower, int upper);
    void SetRange32(int lower, int upper);
    // UDM_SETPOS: returns the previous position.
    int SetPos(int position);
    // UDM_GETPOS: the 16-bit position; *error (when given) is true when the
    // buddy's text is no valid position.
    int GetPos(bool* error = nullptr) const;
    int SetPos32(int position);
    int GetPos32(bool* error = nullptr) const;
};
