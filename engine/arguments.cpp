// Argument count and numeric argument helpers of the command handlers.
#include "arguments.h"

#include "errors.h"
#include "expression.h"
#include "frame.h"

bool CheckArgumentCount(CommandFrame &frame, int maxArgs)
{
    if (maxArgs + 1 < static_cast<int>(frame.tokens.size()) && !IsAbsent(frame, maxArgs + 1)) {
        RaiseError(frame, ErrFormat);
        return false;
    }
    return true;
}

bool ReadNumber(CommandFrame &frame, int index, int &value)
{
    if (int code = ParseNumber(*frame.engine, frame.token(index), value)) {
        RaiseError(frame, code);
        return false;
    }
    return true;
}

bool IsAbsent(const CommandFrame &frame, int index)
{
    return frame.token(index).empty();
}
