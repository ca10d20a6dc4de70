// /R: makes this program the opener of program-information documents.
#pragma once

#include "registration/registration_outcome.h"
#include "registration/registration_reporting.h"

// Done when every entry was written; otherwise why registration was refused
// or failed. The user has been told, unless quiet.
RegistrationOutcome
RegisterFileType(RegistrationReporting reporting = RegistrationReporting::MessageBoxes);
