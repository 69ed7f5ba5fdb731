#pragma once

#include <windows.h>

#include <string>

// Saves what the screen shows of a window, frame included, as a 24-bit BMP
// file; returns the image's size (0, 0 on failure).
SIZE SaveWindowImage(HWND window, const std::string& path);
// A file in the build folder's "artefacts" folder (created when missing).
std::string ArtefactPath(const std::string& name);
