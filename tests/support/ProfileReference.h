#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The settings file read through the profile functions, call by call, as the
// program read it before it kept the text in memory: the reference that the
// in-memory reader must give back value for value.

// GetPrivateProfileStringA into a cleared buffer; a full buffer is recounted
// and a lead byte left alone at its end dropped.
DWORD ProfileGetString(const char* path, const char* section, const char* key, const char* defaultText,
                       char* buffer, DWORD size);
// Section names (section NULL) or the key names of a section, as listed.
std::vector<std::string> ProfileNames(const char* path, const char* section);

// Writes bytes into a fresh file and reads it through both readers: every
// section and key name the file's lines hold, the given ones, and letter-case
// and blank variants of them, at several buffer sizes; each difference is a
// test failure. Returns the number of values compared.
size_t ExpectReadersAgree(const std::string& bytes, const std::vector<std::string>& sections = {},
                          const std::vector<std::string>& keys = {});
