#pragma once

// Identifiers shared by the resource script and the program's code.

// Icons: the program's and the browse button's, each from 16×16 to 256×256
// (resources/make_icons.py).
#define IDI_PROGRAM 150
#define IDI_BROWSE 151

// Compress dialog.
#define IDD_COMPRESS 101

#define IDC_EXPAND 1000
#define IDC_FORMAT 1001
#define IDC_BROWSE 1002
#define IDC_COMPRESS 1003
#define IDC_OUTPUT_FILE 1006
#define IDC_USE_FILTER 1007
#define IDC_OPEN_FOLDER 1008
#define IDC_USE_PASSWORD 1017
#define IDC_FILTER_LIST 1020

// Tooltips of the compress dialog.
#define IDS_TIP_EXPAND 200
#define IDS_TIP_FORMAT 201
#define IDS_TIP_BROWSE 202
#define IDS_TIP_COMPRESS 203
#define IDS_TIP_OUTPUT_NAME 211
#define IDS_TIP_USE_PASSWORD 216
#define IDS_TIP_FILTER_LIST 219
#define IDS_TIP_OPEN_FOLDER 259
#define IDS_TIP_USE_FILTER 311

// Job dialogs.
#define IDD_OVERWRITE 104
#define IDD_PASSWORD 105
#define IDD_RESULT 120
// The overwrite question of one-archive-per-item runs: template 104 and a
// switch that answers for the rest of the items.
#define IDD_OVERWRITE_EACH 121

#define IDC_APPEND 1009
#define IDC_OVERWRITE_FILE 1010
#define IDC_OVERWRITE 1011
#define IDC_RENAME 1012
#define IDC_PASSWORD 1018
#define IDC_PASSWORD_AGAIN 1019
#define IDC_RESULT_TEXT 1105
#define IDC_OVERWRITE_REST 1120
// The progress of the job's long steps (walk, list files, read back).
#define IDD_JOB_PROGRESS 124
#define IDC_PROGRESS_PHASE 1140
#define IDC_PROGRESS_COUNT 1141
#define IDC_PROGRESS_FOLDER 1142
#define IDC_PROGRESS_TIME 1143
#define IDC_PROGRESS_BACKGROUND 1144
#define IDS_TIP_OVERWRITE_REST 410

// Messages of the compression job.
#define IDS_OUTPUT_FOLDER_NOT_CREATED 204
#define IDS_OUTPUT_FOLDER_IS_FILE 205
#define IDS_OUTPUT_EXISTS_GIVE_NAME 206
#define IDS_NO_FILES 207
#define IDS_PASSWORD_MISMATCH 208
#define IDS_APPEND_UNSUPPORTED 209
#define IDS_OUTPUT_IS_FOLDER 210
#define IDS_PASSWORD_HAS_QUOTE 400
#define IDS_MOVE_ASIDE_FAILED 401
#define IDS_OLD_ARCHIVE_KEPT_AS 402
#define IDS_LIST_FILE_FAILED 403
#define IDS_NO_ARCHIVER_OUTPUT 404
#define IDS_FORMAT_UNAVAILABLE 405
#define IDS_BAD_OUTPUT_NAME 460
#define IDS_OLD_ARCHIVE_NOT_DELETED 461
#define IDS_CHECK_FILTER_HINT 462
#define IDS_PASSWORD_NOT_ASCII 463
#define IDS_UNICODE_MODE_REFUSED 464
#define IDS_ARCHIVE_NOT_MADE 465
#define IDS_UNNAMABLE_HEAD 466
#define IDS_UNNAMABLE_FORMATS_HEAD 467
#define IDS_UNNAMABLE_NO_FORMAT 468
#define IDS_UNNAMABLE_TAIL 469
#define IDS_MORE_NAMES 470
#define IDS_LEFT_OUT_HEAD 471
#define IDS_LEFT_OUT_QUESTION 472
#define IDS_LEFT_OUT_STOPPED 473

// The result of one archive per item.
#define IDS_ITEMS_HEAD 474
#define IDS_ITEM_MADE 475
#define IDS_ITEM_FAILED 476
#define IDS_ITEM_RENAMED 477
#define IDS_ITEM_SKIPPED 478
#define IDS_ITEM_NOT_RUN 479
#define IDS_ITEM_NO_NAME 480

// Reading the new archive back.
#define IDS_READBACK_FAILED 481
#define IDS_DIFF_MISSING 482
#define IDS_DIFF_EXTRA 483
#define IDS_DIFF_SIZE 484
#define IDS_DIFF_DOUBLED 485
#define IDS_ARCHIVE_DAMAGED 486
#define IDS_ARCHIVE_UNREADABLE 487
#define IDS_NOTE_NO_LISTING 488
#define IDS_NOTE_SFX_NOT_OPENED 489
#define IDS_NOTE_NAMES_NEED_PASSWORD 490
#define IDS_NOTE_NO_INTEGRITY_CHECK 491
#define IDS_NOTE_DATA_NEED_PASSWORD 492
#define IDS_NOTE_OLD_ENTRIES_UNREAD 493
#define IDS_OLD_ARCHIVE_NOT_COPIED 494

// Why a file cannot go into an archive: one wording for the job and the
// filter preview alike.
#define IDS_PROBLEM_UNDECIDED 432
#define IDS_PROBLEM_MISSING 433
#define IDS_PROBLEM_UNLISTABLE 434
#define IDS_PROBLEM_TOO_LONG 435
#define IDS_PROBLEM_UNNAMABLE 436

// Tooltips of the job dialogs.
#define IDS_TIP_APPEND 212
#define IDS_TIP_OUTPUT_FILE 213
#define IDS_TIP_OVERWRITE 214
#define IDS_TIP_RENAME 215
#define IDS_TIP_PASSWORD 217
#define IDS_TIP_PASSWORD_AGAIN 218

// Settings mode, archiver pages and filter editors, each in a header of its own.
#include "resources/filter_pages_resource.h"
#include "resources/format_pages_resource.h"
#include "resources/settings_resource.h"
