// The application title: caption of every message box, title of the chooser's
// hidden window, and the ProgID description that unregistration checks.
#pragma once

inline constexpr char kApplicationTitle[] = "Loxa";
