#include "registration/unregister_file_type.h"

int UnregisterFileType()
{
    return 0;
}
