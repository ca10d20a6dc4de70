// The ownership check of /U: the registered ProgID must describe itself with
// this program's title under both roots.
#pragma once

// 1 when both ProgID keys pass; 0 after a message has been shown.
int CheckRegistrationOwner();
