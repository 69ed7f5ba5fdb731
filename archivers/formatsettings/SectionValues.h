#pragma once

// How the sections of the program's own DLLs (TZIP, T7Z) read their values:
// a value out of range, or a name the table does not know, leaves the field
// as it was, since the DLL would refuse the switch it makes.

#include "settings/SectionReader.h"

#include <windows.h>

#include <stddef.h>

// A value of an enum and the text the section stores for it.
template <class TValue>
struct CStoredName
{
    TValue value;
    const char* name;
};

// The value whose name the key holds, in any case.
template <class TValue, size_t N>
void ReadName(CSectionReader& reader, const char* key, const CStoredName<TValue> (&names)[N], TValue* field)
{
    const char* text = reader.Get(key);
    if (text == NULL)
        return;
    for (const CStoredName<TValue>& name : names)
        if (lstrcmpiA(text, name.name) == 0)
            *field = name.value;
}

// The stored name of value; the first row's for a value without one.
template <class TValue, size_t N>
const char* NameOf(const CStoredName<TValue> (&names)[N], TValue value)
{
    for (const CStoredName<TValue>& name : names)
        if (name.value == value)
            return name.name;
    return names[0].name;
}

// The key's number when it lies within lowest and highest.
inline void ReadInRange(CSectionReader& reader, const char* key, int lowest, int highest, int* field)
{
    int value = *field;
    reader.Int(key, &value);
    if (value >= lowest && value <= highest)
        *field = value;
}
