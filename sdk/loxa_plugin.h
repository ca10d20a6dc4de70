/*
 * Loxa plug-in interface. A plug-in is a DLL that exports
 *
 *     LOXA_PLUGIN_EXPORT void LOXA_PLUGIN_CALL SetTVProgram(const LoxaPluginProgramRecord* record);
 *
 * Loxa loads the DLL when the user picks it from the handler menu, calls
 * SetTVProgram once and unloads the DLL. The record and its strings are valid
 * only during the call: copy what you keep. Strings are code page 932
 * (Shift_JIS) bytes, exactly as they stood in the document.
 *
 * Usable from C (C11) and C++; the same source builds 32-bit and 64-bit DLLs.
 */
#ifndef LOXA_PLUGIN_H
#define LOXA_PLUGIN_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#ifdef __cplusplus
#define LOXA_PLUGIN_EXTERN_C extern "C"
#define LOXA_PLUGIN_STATIC_ASSERT(condition, message) static_assert(condition, message)
#else
#define LOXA_PLUGIN_EXTERN_C
#define LOXA_PLUGIN_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/*
 * The export must be found under the plain name "SetTVProgram" and must leave
 * its argument on the stack for the caller to remove: extern "C", __cdecl.
 * (On 64-bit Windows there is only one calling convention; __cdecl is
 * accepted and ignored.) A 32-bit Loxa loads only 32-bit plug-ins.
 */
#if defined(_WIN32)
#define LOXA_PLUGIN_EXPORT LOXA_PLUGIN_EXTERN_C __declspec(dllexport)
#define LOXA_PLUGIN_CALL __cdecl
#else
#define LOXA_PLUGIN_EXPORT LOXA_PLUGIN_EXTERN_C
#define LOXA_PLUGIN_CALL
#endif

#define LOXA_PLUGIN_RECORD_VERSION 256
#define LOXA_PLUGIN_RECORD_HEADER_SIZE 56

/* The rest is C as well as C++: typedef struct and NULL stay.
   NOLINTBEGIN(modernize-use-using, modernize-use-nullptr) */

/*
 * The record's 56-byte header; the strings area follows it in the same block.
 * All fields are little-endian 32-bit signed integers. A number the document
 * lacked is 0; none is range-checked. A string offset is a byte offset from
 * the start of the record, 0 when the document had no such string.
 */
/* clang-format off */
typedef struct LoxaPluginProgramRecord {
    int32_t size;           /* whole record in bytes, strings included */
    int32_t recordVersion;  /* LOXA_PLUGIN_RECORD_VERSION */
    int32_t version;        /* the document's format version (1 today) */
    int32_t year;
    int32_t month;
    int32_t day;
    int32_t startHour;
    int32_t startMinute;
    int32_t endHour;        /* may be smaller than startHour: ends after midnight */
    int32_t endMinute;
    int32_t stationOffset;
    int32_t titleOffset;
    int32_t subtitleOffset;
    int32_t bodyOffset;     /* the free text; may be an empty string */
} LoxaPluginProgramRecord;
/* clang-format on */

LOXA_PLUGIN_STATIC_ASSERT(sizeof(LoxaPluginProgramRecord) == LOXA_PLUGIN_RECORD_HEADER_SIZE,
                          "the header is 56 bytes");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, size) == 0, "size at 0");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, recordVersion) == 4,
                          "recordVersion at 4");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, version) == 8, "version at 8");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, year) == 12, "year at 12");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, month) == 16, "month at 16");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, day) == 20, "day at 20");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, startHour) == 24, "startHour at 24");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, startMinute) == 28,
                          "startMinute at 28");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, endHour) == 32, "endHour at 32");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, endMinute) == 36, "endMinute at 36");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, stationOffset) == 40,
                          "stationOffset at 40");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, titleOffset) == 44,
                          "titleOffset at 44");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, subtitleOffset) == 48,
                          "subtitleOffset at 48");
LOXA_PLUGIN_STATIC_ASSERT(offsetof(LoxaPluginProgramRecord, bodyOffset) == 52, "bodyOffset at 52");

/* Non-zero when the block is a record of the layout above. */
static inline int LoxaPluginRecordIsValid(const LoxaPluginProgramRecord* record)
{
    return record != NULL && record->recordVersion == LOXA_PLUGIN_RECORD_VERSION
           && record->size >= LOXA_PLUGIN_RECORD_HEADER_SIZE;
}

/*
 * The string at `offset` (one of the four ...Offset fields), or NULL when it
 * is absent or does not lie wholly, NUL included, within the record's size.
 */
static inline const char* LoxaPluginRecordString(const LoxaPluginProgramRecord* record,
                                                 int32_t offset)
{
    const char* start;
    if (record == NULL || !LoxaPluginRecordIsValid(record)
        || offset < LOXA_PLUGIN_RECORD_HEADER_SIZE || offset >= record->size) {
        return NULL;
    }
    start = (const char*)record + offset;
    if (memchr(start, '\0', (size_t)(record->size - offset)) == NULL) {
        return NULL;
    }
    return start;
}

/* NOLINTEND(modernize-use-using, modernize-use-nullptr) */

#endif /* LOXA_PLUGIN_H */
