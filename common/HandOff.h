#pragma once

// What the context-menu extension and the main program it starts agree on to
// hand over a selection: the extension writes the paths into a list file of
// its own in the temporary folder and passes a token and that file's path.

// Any first argument that begins with this selects the hand-off.
const char kHandOffTokenPrefix[] = "::PROCESSCOMMUNICATION";
// The token the extension passes for its compress command.
const char kCompressModeToken[] = "::PROCESSCOMMUNICATION_COMPRESSMODE";
// The token of its command that makes one archive per selected item.
const char kEachModeToken[] = "::PROCESSCOMMUNICATION_EACHMODE";

// Every hand-off file's name begins with this; the reader accepts no other.
const char kHandOffFilePrefix[] = "tessik_filelist";
const char kHandOffFileExtension[] = ".tmp";

// A hand-off file is one path per line, each followed by CR LF. A selection
// whose every path has an exact Shift_JIS form is written in Shift_JIS, the
// form every version of the program reads. A selection holding any other name
// is written in UTF-8 after this mark (the UTF-8 byte order mark). No Shift_JIS
// file can begin with it: 0xEF is a lead byte, but code page 932 assigns no
// character to lead byte 0xEF at all (its row lies between the NEC-selected
// rows 0xED-0xEE and the user-defined rows 0xF0-0xF9), so no conversion ever
// writes 0xEF 0xBB; and every line the extension writes is a full path from
// the shell, which begins with a drive letter or "\\", both ASCII.
const char kHandOffUtf8Mark[] = "\xEF\xBB\xBF";
