// The pre-check of /R: refuses when the MIME type already names this
// program's extension, or names none at all.
#pragma once

#include "registration/registration_outcome.h"
#include "registration/registration_reporting.h"

// Done when registration may go on; otherwise why it must stop (the user has
// been told, unless quiet).
RegistrationOutcome CheckAlreadyRegistered(RegistrationReporting reporting);
