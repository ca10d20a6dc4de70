// How a /R or /U run ended. The quiet form of the switches exits with these
// numbers, and installers act on them: they never change.
#pragma once

enum class RegistrationOutcome : int {
    Done = 0,
    AlreadyRegistered = 1, // /R: this program's type is registered already
    Refused = 2,           // the type belongs to another application
    Failed = 3,            // a registry call failed, nothing to remove, or keys stayed
};
