// The pre-check of /R: refuses when the MIME type already names this
// program's extension, or names none at all.
#pragma once

// 0 when registration may go on; 1 when it must stop (the user has been told).
int CheckAlreadyRegistered();
