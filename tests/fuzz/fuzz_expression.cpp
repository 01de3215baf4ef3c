// Fuzz target: one numeric argument through the expression evaluator, with variables set.
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/expression.h"
#include "engine/viewstate.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

const CCommandEngine &Engine()
{
    static ViewState view;
    static const std::unique_ptr<CCommandEngine> engine = [] {
        auto e = std::make_unique<CCommandEngine>(view);
        e->variables[VariableIndex("aa")] = 5;
        e->variables[VariableIndex("ab")] = -3;
        e->variables[VariableIndex("zz")] = INT_MAX;
        e->variables[VariableIndex("za")] = INT_MIN;
        e->variables[VariableIndex("mm")] = 1000000;
        return e;
    }();
    return *engine;
}

bool IsListedCode(int code)
{
    switch (code) {
    case ErrNone:
    case ErrExprCharacter:
    case ErrExprParentheses:
    case ErrExprTooDeep:
    case ErrExprMalformed:
    case ErrExprDivideByZero:
    case ErrFormat:
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view token(reinterpret_cast<const char *>(data), size);
    int value = 12345;
    const int code = ParseNumber(Engine(), token, value);
    // A failure leaves the value alone, and only the codes of numeric arguments occur.
    if (!IsListedCode(code) || (code != ErrNone && value != 12345))
        std::abort();
    double result = 0;
    if (!IsListedCode(EvaluateExpression(token, result)))
        std::abort();
    return 0;
}
