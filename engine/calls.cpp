// The call of another command file. This build cannot run called files: a `<` line is
// reported as an unknown command rather than silently doing nothing.
#include "errors.h"
#include "handlers.h"

void CmdCall(CommandFrame &frame)
{
    RaiseError(frame, ErrUnknownCommand);
}
