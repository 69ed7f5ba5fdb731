#pragma once

// Texts the bridges put into the caller's buffer, for the result dialog.
extern const char kMsgBadCommandLine[];
extern const char kMsgOnlyAdd[];
extern const char kMsgUnknownSwitch[];    // %s: the switch
extern const char kMsgListUnreadable[];   // %s: the list file
extern const char kMsgNoFiles[];
extern const char kMsgSevenZipSfx[];
extern const char kMsgCabSfx[];
extern const char kMsgLhaSfx[];
extern const char kMsgZipSfx[];
extern const char kMsgLzx[];
extern const char kMsgVolumes[];
extern const char kMsgZipPasswordAscii[];
extern const char kMsgSameName[];         // %s: the two paths, one a line
extern const char kMsgTooManyFiles[];
extern const char kMsgLocale[];
extern const char kMsgToolMissing[];      // %s: the tool
extern const char kMsgNoSession[];
extern const char kMsgStartFailed[];      // %s: the tool
extern const char kMsgToolFailed[];       // %s: the tool, %d: exit status
extern const char kMsgTimedOut[];         // %s: the tool, %u: seconds
extern const char kMsgCancelled[];
extern const char kMsgNoArchive[];        // %s: the archive
extern const char kMsgNameMissing[];      // %s: the name
extern const char kMsgNameExtra[];        // %s: the name
extern const char kMsgNameDoubled[];      // %s: the name
extern const char kMsgArchiveUnreadable[];  // %s: the archive
extern const char kMsgNoBackup[];         // %s: the archive
extern const char kMsgBackupKept[];       // %s: the copy
extern const char kMsgPathUnmapped[];     // %s: the path
