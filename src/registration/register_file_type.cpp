#include "registration/register_file_type.h"

int RegisterFileType()
{
    return 0;
}
