#include "job/ReadBack.h"

#include "settings/CompressJob.h"

#include <windows.h>

#include <unordered_map>

namespace {

// How each format's archive tells two names apart, for the comparison of
// what it holds with what it was given. Every format here is written and
// read on Windows, whose file systems ignore case: two entries that differ
// only in case land on one file when extracted, and the DLLs match a name
// given again against the stored one without regard to case when they add.
struct CNameRule
{
    int formatId;
    bool ignoreCase;
    bool eitherSeparator;  // '/' and '\' are one
};

const CNameRule kNameRules[] = {
    {0, true, true},  // 7z: stored with '\' on Windows, '/' elsewhere
    {1, true, true},  // 7z self-extracting
    {2, true, true},  // ZIP through 7-Zip32.dll: stored with '/'
    {3, true, true},  // ZIP through TessikZip.dll: stored with '/'
    {4, true, true},  // CAB: stored with '\'
    {5, true, true},  // CAB self-extracting
    {6, true, true},  // LZH: level 0 and 1 headers may hold names upper-cased, '\' or 0xFF
    {7, true, true},  // LZH self-extracting
    {8, true, true},  // ZIP through Zip32j.dll: stored with '/'
    {9, true, true},  // ZIP self-extracting
    {10, true, true},  // 7z through Tessik7z.dll: stored with '/'
};

CNameRule RuleOf(int formatId)
{
    for (const CNameRule& rule : kNameRules)
        if (rule.formatId == formatId)
            return rule;
    return CNameRule{formatId, true, true};
}

std::wstring NameKey(const CNameRule& rule, const std::wstring& name)
{
    std::wstring key = name;
    if (rule.eitherSeparator)
        for (wchar_t& c : key)
            if (c == L'/')
                c = L'\\';
    if (rule.ignoreCase && !key.empty())
        CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

struct CExpected
{
    const std::wstring* name = nullptr;
    ULONGLONG size = 0;
    size_t given = 0;    // how often this run gave the name
    size_t kept = 0;     // old entries of the name that no given one replaces
    size_t stored = 0;   // how often the archive holds it now
    bool sizeWrong = false;
};

// The differences of each kind, each list cut at the limit.
class CDifferences
{
public:
    explicit CDifferences(size_t limit) : m_limit(limit) {}

    void Add(EArchiveDifference kind, const std::wstring& name, ULONGLONG expected = 0, ULONGLONG stored = 0)
    {
        ++m_count;
        std::vector<CArchiveDifference>& list = m_lists[static_cast<int>(kind)];
        if (list.size() < m_limit)
            list.push_back(CArchiveDifference{kind, name, expected, stored});
    }
    size_t Take(std::vector<CArchiveDifference>* differences)
    {
        differences->clear();
        for (EArchiveDifference kind : {EArchiveDifference::Missing, EArchiveDifference::Size,
                                        EArchiveDifference::Doubled, EArchiveDifference::Extra})
            for (const CArchiveDifference& difference : m_lists[static_cast<int>(kind)])
                if (differences->size() < m_limit)
                    differences->push_back(difference);
        return m_count;
    }

private:
    size_t m_limit;
    size_t m_count = 0;
    std::vector<CArchiveDifference> m_lists[4];
};

}  // namespace

size_t CompareArchive(int formatId, const std::vector<CExpectedFile>& given, const std::vector<CArchiveFile>& before,
                      const std::vector<CArchiveFile>& after, size_t limit,
                      std::vector<CArchiveDifference>* differences)
{
    CNameRule rule = RuleOf(formatId);
    std::unordered_map<std::wstring, CExpected> expected;
    expected.reserve(given.size() + before.size());
    for (const CExpectedFile& file : given)
    {
        CExpected& entry = expected[NameKey(rule, file.name)];
        entry.name = &file.name;
        entry.size = file.size;
        ++entry.given;
    }
    // An old entry of a name given again was replaced by this run.
    for (const CArchiveFile& file : before)
    {
        CExpected& entry = expected[NameKey(rule, file.name)];
        if (entry.given > 0)
            continue;
        entry.name = &file.name;
        entry.size = file.size;
        ++entry.kept;
    }

    CDifferences found(limit);
    for (const CArchiveFile& file : after)
    {
        auto at = expected.find(NameKey(rule, file.name));
        if (at == expected.end())
        {
            found.Add(EArchiveDifference::Extra, file.name);
            continue;
        }
        CExpected& entry = at->second;
        if (++entry.stored == entry.given + entry.kept + 1)
            found.Add(EArchiveDifference::Doubled, file.name);
        if (file.size != entry.size && !entry.sizeWrong)
        {
            entry.sizeWrong = true;
            found.Add(EArchiveDifference::Size, file.name, entry.size, file.size);
        }
    }
    // In the order the names were given, then the old ones.
    for (const CExpectedFile& file : given)
    {
        CExpected& entry = expected[NameKey(rule, file.name)];
        if (entry.name == &file.name && entry.stored < entry.given + entry.kept)
            found.Add(EArchiveDifference::Missing, file.name);
    }
    for (const CArchiveFile& file : before)
    {
        CExpected& entry = expected[NameKey(rule, file.name)];
        if (entry.name == &file.name && entry.stored < entry.given + entry.kept)
            found.Add(EArchiveDifference::Missing, file.name);
    }
    return found.Take(differences);
}

namespace {

// Counts each entry read and stops the listing once the user stopped.
CListWatch Watch(CJobProgress* progress)
{
    return [progress] {
        progress->CountFile(0);
        return !progress->IsStopped();
    };
}

}  // namespace

bool CReadBackCheck::ReadOldEntries(CJobProgress* progress)
{
    m_old.clear();
    m_oldRead = false;
    m_oldUnread = false;
    if (m_arc->NamesNeedPassword())
        return true;
    switch (m_arc->ReadArchive(m_job->OutputFile, &m_old, Watch(progress)))
    {
    case EArchiveRead::Read:
        m_oldRead = true;
        break;
    case EArchiveRead::Stopped:
        m_old.clear();
        return false;
    case EArchiveRead::NoListing:
        break;
    case EArchiveRead::NotOpened:
    case EArchiveRead::Failed:
        // Not an archive the DLL knows (or a damaged one): what it held
        // cannot be compared, the files of this run still are.
        m_old.clear();
        m_oldUnread = true;
        break;
    }
    return true;
}

void CReadBackCheck::Note(CReadBack* facts, EReadBackNote note) const
{
    facts->notes.push_back(note);
}

CReadBack CReadBackCheck::Check(const std::vector<CExpectedFile>& given, CJobProgress* progress) const
{
    CReadBack facts;
    facts.ran = true;
    const std::string& path = m_job->OutputFile;
    if (m_arc->NamesNeedPassword())
    {
        Note(&facts, EReadBackNote::NamesNeedPassword);
        return facts;
    }
    std::vector<CArchiveFile> files;
    switch (m_arc->ReadArchive(path, &files, Watch(progress)))
    {
    case EArchiveRead::Read:
        break;
    case EArchiveRead::Stopped:
        facts.failed = facts.stopped = true;
        return facts;
    case EArchiveRead::NoListing:
        Note(&facts, EReadBackNote::NoListing);
        return facts;
    case EArchiveRead::NotOpened:
        if (m_arc->IsSelfExtracting())
        {
            Note(&facts, EReadBackNote::SelfExtractingNotOpened);
            return facts;
        }
        facts.failed = facts.unreadable = true;
        return facts;
    case EArchiveRead::Failed:
        facts.failed = facts.unreadable = true;
        return facts;
    }
    if (m_oldUnread)
        Note(&facts, EReadBackNote::OldEntriesUnread);
    facts.differenceCount = CompareArchive(m_arc->GetId(), given, m_old, files, CReadBack::kShownDifferences,
                                           &facts.differences);
    files.clear();

    // The data are tested only without a password: no check entry takes one,
    // and a DLL would ask for it in a window of its own.
    if (m_job->UsePassword)
        Note(&facts, EReadBackNote::DataNeedPassword);
    else if (progress->IsStopped())
    {
        facts.failed = facts.stopped = true;
        return facts;
    }
    else
    {
        switch (m_arc->TestArchive(path))
        {
        case EArchiveTest::Passed:
            break;
        case EArchiveTest::Damaged:
            facts.damaged = true;
            break;
        case EArchiveTest::NoCheck:
            Note(&facts, EReadBackNote::NoIntegrityCheck);
            break;
        }
    }
    facts.failed = facts.differenceCount > 0 || facts.damaged;
    return facts;
}
