#pragma once

#include "dllkit/Listing.h"

#include <string>
#include <vector>

// What the listing and check entries read from a 7z: the entries as
// INDIVIDUALINFO shows them (names with '\\' between the parts) ("LZMA2", "BCJ2", "7zAES"... as szMode),
// and the check of the archive's structure or of every folder's data.

// False when the file is no 7z, or is damaged or cannot be read.
bool ReadSevenZipListing(const std::wstring& path, std::vector<CListingEntry>* entries);

// Structure: the header as the reader checks it. fullCrc: every folder
// decoded too, each file's size and CRC compared. An archive whose data is
// encrypted passes a full check as far as no password is needed.
bool CheckSevenZipArchive(const std::wstring& path, bool fullCrc);
