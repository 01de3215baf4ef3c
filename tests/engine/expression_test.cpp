// Numeric arguments and expressions: values, error codes and their precedence.
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/expression.h"
#include "engine/viewstate.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Expressions : public ::testing::Test {
protected:
    // The value of `token`, or the error code negated, so one expectation covers both.
    long long eval(const std::string &token)
    {
        int v = 12345;
        int code = ParseNumber(engine, token, v);
        return code ? -1000 - code : v;
    }
    static long long err(int code) { return -1000 - code; }

    ViewState view;
    CCommandEngine engine{view};
};

// Values, and error codes negated, of single tokens: one table, grouped by what they try.
TEST_F(Expressions, ValuesAndErrorCodes)
{
    engine.variables[VariableIndex("ab")] = -5;
    const std::pair<std::string, long long> cases[] = {
        // Plain integers; beyond 32 bits the value stays at the end of the range.
        {"120", 120}, {"-15", -15}, {"007", 7}, {"-", err(4)}, {"", err(21)},
        {"99999999999999999999", 2147483647}, {"-99999999999999999999", -2147483647LL - 1},
        // Hexadecimal numbers and the alphabet.
        {"10h", 16}, {"ffh", 255}, {"h", err(4)}, {"fg", err(1)}, {"12a", err(1)},
        {"1.5", err(1)}, {"1 2", err(1)}, {std::string("1\0" "2", 3), err(1)},
        // Operators, signs and implicit products.
        {"1+2*3", 7}, {"(1+2)*3", 9}, {"2(3)", 6}, {"(2)(3)", 6}, {"(2)3", 6},
        {"-(2+3)", -5}, {"2*-3", -6}, {"3--2", 5}, {"--3", err(4)}, {"+5", 5},
        {"10-2-3", 5}, {"2*(3+(4-1))*2", 24},
        // Division keeps fractions until the end.
        {"7/2", 3}, {"-7/2", -3}, {"7/2*2", 7}, {"1/0", err(9)}, {"1/(2-2)", err(9)},
        // Malformed and unbalanced; the alphabet is checked before the parentheses, the
        // parentheses before evaluation.
        {"(5", err(2)}, {"5)", err(2)}, {"()", err(4)}, {"5-", err(4)}, {"*5", err(4)},
        {"5*/2", err(4)}, {"(1/0", err(2)}, {"(x", err(1)},
        // Variables: two letters after "$"; an unset one is 0.
        {"$ab*2", -10}, {"$ab$ab", 25}, {"$a", err(1)}, {"$1x", err(1)}, {"$zz+1", 1},
    };
    for (const auto &[token, expected] : cases)
        EXPECT_EQ(eval(token), expected) << token;
}

TEST_F(Expressions, NestingLimit)
{
    double r = 0;
    std::string deep = std::string(255, '(') + "7" + std::string(255, ')');
    ASSERT_EQ(EvaluateExpression(deep, r), 0);
    EXPECT_EQ(r, 7);
    std::string tooDeep = "(" + deep + ")";
    EXPECT_EQ(EvaluateExpression(tooDeep, r), ErrExprTooDeep);
}

TEST_F(Expressions, VariableNames)
{
    EXPECT_EQ(VariableIndex("AB"), VariableIndex("ab"));
    EXPECT_EQ(VariableIndex("zz"), 675);
    EXPECT_EQ(VariableIndex("ZZ"), 675);
    EXPECT_EQ(VariableIndex("a"), -1);
}

TEST_F(Expressions, HugeValuesStayDefined)
{
    std::string big(99, '9');
    EXPECT_EQ(eval(big + "*" + big), 2147483647);
    EXPECT_EQ(eval("0-" + big + "*" + big), -2147483647LL - 1);
    // 1e99^4 overflows to infinity; infinity minus infinity is not a number and gives 0.
    std::string inf = big + "*" + big + "*" + big + "*" + big;
    EXPECT_EQ(eval(inf + "-" + inf), 0);
}

} // namespace
