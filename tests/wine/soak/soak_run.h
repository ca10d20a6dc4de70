// One soak run: loxa.exe opens a generated document, and the run is checked
// against what the parser reads from the same bytes in the test process.
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

struct SoakMeasure {
    SIZE_T peakBytes = 0;        // loxa.exe's peak memory over the run
    DWORD dialogMs = 0;          // from the start to the dialog's fields read
    ProgramDataDialogView shown; // the dialog's fields as read
};

// Writes `document` into a scratch folder, runs loxa.exe on it and checks
// the run: the version warning when the document's version is not 1
// (answered with OK), then the program data dialog with the fields the
// parser gives, ended by `ending` (Register checks the chip the reference
// receiver gets: the fields as shown, for a document dated 2027-03-01 21:00),
// and exit code 0. A document whose first byte is NUL shows nothing. Does not
// check the memory; answers the measure.
void RunSoakDocument(const std::string& document, SoakEnding ending, SoakMeasure& measure);

// RunSoakDocument, then expects the peak memory within the base allowance
// plus kMemoryPerDocumentByte per document byte. The dialog's fields go to
// `shown` when it is not null.
void SoakDocument(const std::string& document, SoakEnding ending = SoakEnding::Cancel,
                  ProgramDataDialogView* shown = nullptr);
