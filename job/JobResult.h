#pragma once

// Results of a compression job: 0 for success, otherwise the step that stopped it.
enum
{
    kJobSucceeded = 0,
    kJobAppendUnsupported = 1,   // adding chosen for a format that cannot add
    kJobBadOutputName = 2,       // output file name rejected
    kJobGiveAnotherName = 3,     // the user is to give another name
    kJobPasswordCancelled = 4,
    kJobNoOutputFolder = 5,      // output folder missing and not creatable
    kJobListRefused = 6,         // the builder refused to begin its list
    kJobNoFiles = 7,
    kJobArchiverFailed = 8,
    kJobFilterUnusable = 9,      // the chosen filter list cannot be compiled
    kJobOldArchiveLocked = 10,   // the old archive could not be moved aside
    kJobListFileFailed = 11,     // a list file could not be written
    kJobFormatUnavailable = 12,  // the job's format is not registered
    kJobUnnamableFiles = 13,     // names the ANSI code page cannot hold were found
    kJobFilesLeftOut = 14,       // the walk could not take everything, and the user did not go on without it
    kJobPasswordNotAscii = 15,   // a ZIP password beyond ASCII for names that need the DLL's UTF-8 mode
    kJobUnicodeModeRefused = 16, // the DLL did not take its UTF-8 mode
    kJobReadBackFailed = 17,     // the new archive does not hold what the job gave, or is damaged
    kJobCancelled = 18,          // the user stopped a long step (the walk, the list files, the read back)
    kJobOldArchiveNotCopied = 19,  // adding: the old archive could not be copied aside
};
