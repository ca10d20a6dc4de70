// The ownership check of /U: the registered ProgID must describe itself with
// this program's title under both roots.
#pragma once

#include "registration/registration_outcome.h"
#include "registration/registration_reporting.h"

// Done when both ProgID keys pass; otherwise why not, after a message has been
// shown (unless quiet).
RegistrationOutcome CheckRegistrationOwner(RegistrationReporting reporting);
