// /R: makes this program the opener of program-information documents.
#pragma once

// 1 when every entry was written; 0 when refused or a registry call failed
// (the user has been told).
int RegisterFileType();
