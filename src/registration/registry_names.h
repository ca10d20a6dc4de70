// The registry names that registration writes and unregistration removes.
#pragma once

inline constexpr char kClassesRootMimeDatabaseKey[] = "MIME\\Database\\Content Type";
inline constexpr char kMachineMimeDatabaseKey[] = "SOFTWARE\\Classes\\MIME\\Database\\Content Type";
inline constexpr char kMachineClassesKey[] = "SOFTWARE\\Classes";
inline constexpr char kMachineExtensionKey[] = "SOFTWARE\\Classes\\.loxa";
// The ProgID under HKLM, reached from the root in one step.
inline constexpr char kMachineProgIdKey[] = "SOFTWARE\\Classes\\Loxa.ProgramInfo";
inline constexpr char kUserHandlersKey[] = "SOFTWARE\\Loxa";

inline constexpr char kMimeTypeName[] = "application/x-tv-program-info";
inline constexpr char kExtensionName[] = ".loxa";
inline constexpr char kProgIdName[] = "Loxa.ProgramInfo";

inline constexpr char kExtensionValueName[] = "Extension";
inline constexpr char kContentTypeValueName[] = "Content Type";
inline constexpr char kEditFlagsValueName[] = "EditFlags";

inline constexpr char kDefaultIconKey[] = "DefaultIcon";
inline constexpr char kShellKey[] = "shell";
inline constexpr char kOpenKey[] = "open";
inline constexpr char kCommandKey[] = "command";

// FTA_OpenIsSafe, little-endian: a browser opens a downloaded document of
// this type without asking first.
inline constexpr unsigned char kEditFlagsData[4] = {0x00, 0x00, 0x01, 0x00};
