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
