#pragma once

// Texts of the progress window every DLL of ours shows.
extern const char kMsgProgressTitle[];
extern const char kMsgProgressCancel[];
