// Reads the document named on the command line, waiting for a browser that
// still holds the downloaded file open.
#pragma once

#include <windows.h>

#include "win32/unique_resource.h"

enum class DocumentFileStatus {
    Unreadable, // cannot be opened (or sized): the caller shows the usage message
    Empty,      // a file of 0 bytes: the run ends silently
    Read,       // the text is in the buffer, or the buffer is empty when no text could be had
};

struct DocumentFile {
    DocumentFileStatus status;
    HeapBlock text; // NUL-terminated; empty when allocation or reading failed
};

// Opens `path` exclusively, with up to ten attempts 50 ms apart while another
// process holds it, and reads it whole. The file is only ever read.
//
// `widePath` is the same tail taken from the wide command line (or null). A
// name that code page 932 cannot spell ("〜" U+301C, "¥", emoji) arrives in
// `path` changed, and its open fails as a missing or bad name; only then is
// the file opened by `widePath` instead, with the same access and its own
// ten attempts. A name that code page 932 spells never takes that way.
DocumentFile LoadDocumentFile(const char* path, const wchar_t* widePath = nullptr);
