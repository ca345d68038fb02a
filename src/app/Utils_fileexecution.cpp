#include "app/Utils_fileexecution.h"

#include "platform/Platform.h"

bool RunAndWait(const UString& commandLine, uint32_t creationFlags)
{
    return Platform().RunAndWait(commandLine, creationFlags);
}
