// The expression evaluator: a flat item list reduced innermost parentheses first.
#include "expression.h"

#include "engine.h"
#include "errors.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Item {
    char kind;          // 'N' number, or one of ( ) + - * /
    unsigned char depth;
    double value;
};

bool isOperator(char c)
{
    return c == '(' || c == ')' || c == '+' || c == '-' || c == '*' || c == '/';
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// Turns one run of non-operator bytes into a number; 0 or an error code.
int convertNumber(std::string_view run, double &value)
{
    if (run.size() == 1 && (run[0] == '.' || run[0] == 'h'))
        return ErrExprMalformed;
    if (run.back() == 'h') {
        double v = 0;
        for (char c : run.substr(0, run.size() - 1)) {
            if (!isHexDigit(c))
                return ErrExprCharacter;
            v = v * 16 + (c <= '9' ? c - '0' : c - 'a' + 10);
        }
        value = v;
        return ErrNone;
    }
    bool point = false;
    for (char c : run) {
        if (c == '.') {
            if (point)
                return ErrExprMalformed;
            point = true;
        } else if (c < '0' || c > '9') {
            return ErrExprCharacter;
        }
    }
    if (!point && run.size() <= 15) {
        // Up to 15 digits a double holds the integer exactly; no need for strtod.
        double v = 0;
        for (char c : run)
            v = v * 10 + (c - '0');
        value = v;
        return ErrNone;
    }
    value = std::strtod(std::string(run).c_str(), nullptr);
    return ErrNone;
}

int lex(std::string_view expr, std::vector<Item> &items)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= expr.size(); ++i) {
        bool end = i == expr.size();
        if (!end && !isOperator(expr[i]))
            continue;
        if (i > start) {
            if (!items.empty() && items.back().kind == ')')
                items.push_back({'*', 0, 0});
            double v = 0;
            if (int code = convertNumber(expr.substr(start, i - start), v))
                return code;
            items.push_back({'N', 0, v});
        }
        if (end)
            break;
        char op = expr[i];
        if (op == '(' && !items.empty() && (items.back().kind == ')' || items.back().kind == 'N'))
            items.push_back({'*', 0, 0});
        items.push_back({op, 0, 0});
        start = i + 1;
    }
    return ErrNone;
}

int assignDepths(std::vector<Item> &items)
{
    int depth = 0;
    for (Item &item : items) {
        if (item.kind == '(' && ++depth > 255)
            return ErrExprTooDeep;
        item.depth = static_cast<unsigned char>(depth);
        if (item.kind == ')' && --depth < 0)
            return ErrExprParentheses;
    }
    return depth != 0 ? ErrExprParentheses : ErrNone;
}

// One pass of binary operators over `run`: `ops` names the two operators of the pass.
int reducePass(std::vector<Item> &run, char op1, char op2)
{
    for (;;) {
        std::size_t i = 1;
        while (i + 1 < run.size() && run[i].kind != op1 && run[i].kind != op2)
            ++i;
        if (i + 1 >= run.size())
            return ErrNone;
        if (run[i - 1].kind != 'N')
            return ErrExprMalformed;
        Item &next = run[i + 1];
        if ((next.kind == '+' || next.kind == '-') && i + 2 < run.size() &&
            run[i + 2].kind == 'N') {
            if (next.kind == '-')
                run[i + 2].value = -run[i + 2].value;
            run.erase(run.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            continue;
        }
        if (next.kind != 'N')
            return ErrExprMalformed;
        double a = run[i - 1].value, b = next.value, r;
        switch (run[i].kind) {
        case '*': r = a * b; break;
        case '/':
            if (b == 0)
                return ErrExprDivideByZero;
            r = a / b;
            break;
        case '+': r = a + b; break;
        default: r = a - b; break;
        }
        run[i - 1].value = r;
        run.erase(run.begin() + static_cast<std::ptrdiff_t>(i),
                  run.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
}

int reduceRun(std::vector<Item> &run)
{
    if (run.front().kind == '(') {
        if (run.size() < 3)
            return ErrExprMalformed;
        run.pop_back();
        run.erase(run.begin());
    }
    if (run.front().kind == '+' || run.front().kind == '-') {
        if (run.size() < 2 || run[1].kind != 'N')
            return ErrExprMalformed;
        if (run.front().kind == '-')
            run[1].value = -run[1].value;
        run.erase(run.begin());
    }
    if (int code = reducePass(run, '*', '/'))
        return code;
    if (int code = reducePass(run, '+', '-'))
        return code;
    return run.size() == 1 && run[0].kind == 'N' ? ErrNone : ErrExprMalformed;
}

} // namespace

int VariableIndex(std::string_view name)
{
    if (name.size() < 2)
        return -1;
    int c[2];
    for (int k = 0; k < 2; ++k) {
        int b = static_cast<unsigned char>(name[k]);
        if (b <= 'Z')
            b += 32;
        if (b < 'a' || b > 'z')
            return -1;
        c[k] = b - 'a';
    }
    return c[0] * 26 + c[1];
}

int EvaluateExpression(std::string_view expr, double &result)
{
    // Kept between calls: every numeric argument with an operator comes through here.
    thread_local std::vector<Item> items;
    thread_local std::vector<Item> run;
    items.clear();
    items.reserve(expr.size() + expr.size() / 2 + 1);
    if (int code = lex(expr, items))
        return code;
    if (int code = assignDepths(items))
        return code;
    if (items.empty())
        return ErrExprMalformed;
    while (items.size() > 1) {
        std::size_t first = 0;
        for (std::size_t i = 1; i < items.size(); ++i)
            if (items[i].depth > items[first].depth)
                first = i;
        std::size_t last = first;
        while (last + 1 < items.size() && items[last + 1].depth == items[first].depth)
            ++last;
        run.assign(items.begin() + static_cast<std::ptrdiff_t>(first),
                   items.begin() + static_cast<std::ptrdiff_t>(last) + 1);
        int depth = items[first].depth;
        if (int code = reduceRun(run))
            return code;
        Item reduced{'N', static_cast<unsigned char>(depth > 0 ? depth - 1 : 0), run[0].value};
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                    items.begin() + static_cast<std::ptrdiff_t>(last) + 1);
        items[first] = reduced;
    }
    if (items[0].kind != 'N')
        return ErrExprMalformed;
    result = items[0].value;
    return ErrNone;
}

int ParseExpression(const CCommandEngine &engine, std::string_view token, int &value)
{
    std::string expr(token);
    for (std::size_t dollar; (dollar = expr.find('$')) != std::string::npos;) {
        int index = VariableIndex(std::string_view(expr).substr(dollar + 1));
        if (index < 0)
            return ErrExprCharacter;
        std::string name = expr.substr(dollar, 3);
        std::string replacement = "(" + std::to_string(engine.variables[index]) + ")";
        std::string substituted;
        substituted.reserve(expr.size() + 16);
        for (std::size_t pos = 0;;) {
            std::size_t at = expr.find(name, pos);
            if (at == std::string::npos) {
                substituted.append(expr, pos);
                break;
            }
            substituted.append(expr, pos, at - pos);
            substituted += replacement;
            pos = at + name.size();
        }
        expr = std::move(substituted);
    }
    static constexpr std::string_view kAlphabet = "0123456789abcdefh+-*/()";
    for (char c : expr)
        if (kAlphabet.find(c) == std::string_view::npos)
            return ErrExprCharacter;
    double result = 0;
    if (int code = EvaluateExpression(expr, result))
        return code;
    value = TruncateToInt(result);
    return ErrNone;
}
