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

TEST_F(Expressions, PlainIntegers)
{
    EXPECT_EQ(eval("120"), 120);
    EXPECT_EQ(eval("-15"), -15);
    EXPECT_EQ(eval("007"), 7);
    EXPECT_EQ(eval("-"), err(4));
    EXPECT_EQ(eval(""), err(21));
    // Beyond 32 bits the value stays at the end of the range instead of wrapping.
    EXPECT_EQ(eval("99999999999999999999"), 2147483647);
    EXPECT_EQ(eval("-99999999999999999999"), -2147483647LL - 1);
}

TEST_F(Expressions, NumbersAndAlphabet)
{
    EXPECT_EQ(eval("10h"), 16);
    EXPECT_EQ(eval("ffh"), 255);
    EXPECT_EQ(eval("h"), err(4));
    EXPECT_EQ(eval("fg"), err(1));
    EXPECT_EQ(eval("12a"), err(1));
    EXPECT_EQ(eval("1.5"), err(1));
    EXPECT_EQ(eval("1 2"), err(1));
    EXPECT_EQ(eval(std::string("1\0" "2", 3)), err(1));
}

TEST_F(Expressions, OperatorsSignsAndImplicitProducts)
{
    EXPECT_EQ(eval("1+2*3"), 7);
    EXPECT_EQ(eval("(1+2)*3"), 9);
    EXPECT_EQ(eval("2(3)"), 6);
    EXPECT_EQ(eval("(2)(3)"), 6);
    EXPECT_EQ(eval("(2)3"), 6);
    EXPECT_EQ(eval("-(2+3)"), -5);
    EXPECT_EQ(eval("2*-3"), -6);
    EXPECT_EQ(eval("3--2"), 5);
    EXPECT_EQ(eval("--3"), err(4));
    EXPECT_EQ(eval("+5"), 5);
    EXPECT_EQ(eval("10-2-3"), 5);
    EXPECT_EQ(eval("2*(3+(4-1))*2"), 24);
}

TEST_F(Expressions, DivisionKeepsFractionsUntilTheEnd)
{
    EXPECT_EQ(eval("7/2"), 3);
    EXPECT_EQ(eval("-7/2"), -3);
    EXPECT_EQ(eval("7/2*2"), 7);
    EXPECT_EQ(eval("1/0"), err(9));
    EXPECT_EQ(eval("1/(2-2)"), err(9));
}

TEST_F(Expressions, MalformedAndUnbalanced)
{
    EXPECT_EQ(eval("(5"), err(2));
    EXPECT_EQ(eval("5)"), err(2));
    EXPECT_EQ(eval("()"), err(4));
    EXPECT_EQ(eval("5-"), err(4));
    EXPECT_EQ(eval("*5"), err(4));
    EXPECT_EQ(eval("5*/2"), err(4));
    // The alphabet is checked before the parentheses, the parentheses before evaluation.
    EXPECT_EQ(eval("(1/0"), err(2));
    EXPECT_EQ(eval("(x"), err(1));
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

TEST_F(Expressions, Variables)
{
    engine.variables[VariableIndex("ab")] = -5;
    EXPECT_EQ(eval("$ab*2"), -10);
    EXPECT_EQ(eval("$ab$ab"), 25);
    EXPECT_EQ(eval("$a"), err(1));
    EXPECT_EQ(eval("$1x"), err(1));
    EXPECT_EQ(eval("$zz+1"), 1);
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
