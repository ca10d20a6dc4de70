// What the in-process probe (loxa_ui_probe.dll) and the driver share: the
// environment variable that switches the probe on in a driven process, the
// window property and the codes through which it publishes facts that only
// that process can see.
#pragma once

// Set only in the driven process's environment; its value is the path of the
// event log that the probe appends to (one line per event).
constexpr char kUiProbeLogVariable[] = "LOXA_UI_PROBE_LOG";

// The export that the driver installs as a global WH_CBT hook.
constexpr char kUiProbeHookName[] = "UiProbeCbtHook";

// The property that the probe sets on every message box when it is activated;
// its value is one of the UiProbeIcon codes.
constexpr char kUiProbeIconProperty[] = "LoxaUiProbe.Icon";

// Never zero, so that a missing property (GetPropA returns null) is told apart.
enum UiProbeIcon : int {
    kUiProbeIconNone = 1,
    kUiProbeIconInformation = 2,
    kUiProbeIconWarning = 3,
    kUiProbeIconError = 4,
    kUiProbeIconQuestion = 5,
    kUiProbeIconUnknown = 6,
};
