// One soak run: loxa.exe opens a generated document, and the run is checked
// against what the test expects of it, worked out by hand from how the
// document was made (never by running the program's own parser or memo code
// on the same bytes).
#pragma once

#include <windows.h>

#include <string>

#include "program_data_dialog_driver.h"

// Memory that any run of loxa.exe takes under Wine whatever its document: the
// program, Wine's DLLs and the dialog. A document of a few bytes peaks at
// 25 to 27 MB under Wine 8 (the test TinyDocument); the rest is room for the
// fonts and layout data that grow a little with what the dialog shows.
constexpr SIZE_T kBaseMemoryAllowance = SIZE_T{40} * 1024 * 1024;

// How far the program's peak memory may grow with its document.
constexpr SIZE_T kMemoryPerDocumentByte = 3;

enum class SoakEnding { Cancel, Register };

// What a run must show. `fields` holds the texts of the date and start fields,
// the title and the memo as the dialog shows them.
struct SoakExpectation {
    bool showsDialog = true; // false: the program reads no text and shows nothing
    bool versionWarning = false;
    bool checkTexts = true; // false: title and memo are not checked (random bytes)
    ProgramDataDialogView fields;
};

// The dialog of a document made with SoakHeader(title): dated 2027-03-01 21:00.
SoakExpectation SoakHeaderFields(const std::string& title, const std::string& memo);
// The dialog of a document from which the parser reads no header line: every
// number 0, no title, the version warning first.
SoakExpectation NothingReadFields(const std::string& memo);

struct SoakMeasure {
    SIZE_T peakBytes = 0;        // loxa.exe's peak memory over the run
    DWORD dialogMs = 0;          // from the start to the dialog's fields read
    ProgramDataDialogView shown; // the dialog's fields as read
};

// Writes `document` into a scratch folder, runs loxa.exe on it and checks
// the run against `expected`: the version warning (answered with OK), then
// the program data dialog and its fields, ended by `ending` (Register checks
// the chip the reference receiver gets: the fields as shown, for a document
// dated 2027-03-01 21:00), and exit code 0. Does not check the memory;
// answers the measure.
void RunSoakDocument(const std::string& document, const SoakExpectation& expected,
                     SoakEnding ending, SoakMeasure& measure);

// RunSoakDocument, then expects the peak memory within the base allowance
// plus kMemoryPerDocumentByte per document byte.
void SoakDocument(const std::string& document, const SoakExpectation& expected,
                  SoakEnding ending = SoakEnding::Cancel);
