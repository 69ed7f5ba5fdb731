#pragma once

#include "dllkit/CommandLine.h"
#include "dllkit/DllFailure.h"

#include <windows.h>

#include <string>
#include <vector>

// One file or folder to store, as the list files and the folders below them
// name it. Its name is held in the list's one buffer of names.
struct CSourceItem
{
    size_t nameAt = 0;   // in the list's names
    size_t nameLength = 0;
    size_t base = 0;     // the base folder its name is relative to
    bool folder = false;
    ULONGLONG size = 0;
    DWORD attributes = 0;
    FILETIME written = {};
    FILETIME accessed = {};
    FILETIME created = {};
};

// The items to store, in list order. What is held per item is its name and
// its facts alone, in one buffer each, so that a tree of many files costs
// little more than the text of its names.
class CSourceList
{
public:
    size_t Count() const { return m_items.size(); }
    bool Empty() const { return m_items.empty(); }
    const CSourceItem& Item(size_t i) const { return m_items[i]; }
    // Stored name, '\\' between the parts, no trailing separator.
    std::wstring Name(size_t i) const;
    // On disk, to open.
    std::wstring Path(size_t i) const;

    size_t AddBase(const std::wstring& folder);
    void Add(CSourceItem item, const std::wstring& name);
    // Keeps the first of the items whose names are the same entry's name.
    void DropRepeatedNames();
    // Room for this many more items and name units.
    void Reserve(size_t items, size_t nameUnits);
    void Clear();

private:
    std::vector<CSourceItem> m_items;
    std::wstring m_names;
    std::vector<std::wstring> m_bases;
};

// The name as entries are compared: upper case, '/' for '\\', no trailing
// separator.
std::wstring EntryNameKey(const std::wstring& name);

// The items of a list by their names' keys, to find an entry's name among
// them: a hash and an index an item, the keys themselves compared only
// where hashes meet.
class CNameIndex
{
public:
    explicit CNameIndex(const CSourceList& list);
    // The first item whose name has this key; npos when none has.
    size_t Find(const std::wstring& key) const;
    // Every item whose name's key an earlier item's has, in list order.
    std::vector<size_t> Repeated() const;

private:
    const CSourceList& m_list;
    std::vector<std::pair<unsigned long long, size_t>> m_hashes;  // sorted
};

// Reads every list file of the sources (text of the DLL's mode, one path a
// line, optionally quoted) and walks the folders it names, in list order; a
// name listed twice is kept once. False with *failure and *subject set when
// a list cannot be read or names something that is not there.
bool CollectSources(const std::vector<CListSource>& sources, CSourceList* items, EDllFailure* failure, std::wstring* subject);
