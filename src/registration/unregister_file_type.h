// /U: removes what /R wrote, when the registration is this program's own.
#pragma once

#include "registration/registration_outcome.h"
#include "registration/registration_reporting.h"

// Done after the deletions; otherwise why the ownership check refused, or
// Failed when the machine-wide keys stayed. The user has been told, unless
// quiet.
RegistrationOutcome
UnregisterFileType(RegistrationReporting reporting = RegistrationReporting::MessageBoxes);
