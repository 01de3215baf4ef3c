// The picture commands. This build has no picture support: `!` and `psize` lines are
// reported as unknown commands rather than silently doing nothing.
#include "engine/errors.h"
#include "engine/handlers.h"

void CmdImage(CommandFrame &frame)
{
    RaiseError(frame, ErrUnknownCommand);
}

void CmdPictureSize(CommandFrame &frame)
{
    RaiseError(frame, ErrUnknownCommand);
}
