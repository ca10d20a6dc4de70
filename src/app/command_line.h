// What a command line asks for, decided from its bytes alone.
#pragma once

enum class CommandSwitch { None, Register, Unregister };

// The tail after the program's own name, as the Windows start-up code leaves
// it: a quoted name runs to its closing quote (a double-byte character inside
// is stepped over whole), an unquoted one to the first byte of 0x20 or below;
// then every byte from 0x01 to 0x20 is skipped. The rest is returned as typed.
const char* SkipProgramName(const char* commandLine);

// The same rule on the wide command line, where every character is whole.
const wchar_t* SkipWideProgramName(const wchar_t* commandLine);

// The first '/' followed by an upper-case 'R' or 'U' anywhere in the tail
// wins; nothing after it is looked at.
CommandSwitch ScanCommandSwitch(const char* tail);

// True when, after the switch that ScanCommandSwitch finds, the tail holds
// "/S" or "/s" with a blank (space or tab) before it and a blank or the end
// after it: the quiet form, which shows no box and exits with the outcome.
bool HasQuietSwitch(const char* tail);
