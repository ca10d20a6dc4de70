// The program's own path in its short (8.3) form, as the open command and the
// icon location name it.
#pragma once

#include <windows.h>

// Writes the short full path of the running program into `path`. False when
// either platform call fails or the path does not fit, leaving `path`
// unusable.
bool GetShortProgramPath(char (&path)[MAX_PATH]);

// Copies `head` followed by `tail` into `text`; false, writing nothing
// usable, when the two do not fit with their NUL.
bool JoinPathText(char (&text)[MAX_PATH], const char* head, const char* tail);

// The open command: the program path, then " %1". A path with a blank (a
// volume without short names keeps the long one) is put in quotation marks,
// or the shell would start the program with a tail that begins inside its own
// path, or start another program named by the part before the blank. False
// when the command does not fit.
bool BuildOpenCommand(char (&command)[MAX_PATH], const char* programPath);
