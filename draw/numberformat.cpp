// Integer formats: checking and formatting one conversion at a time.
#include "numberformat.h"

#include <cstdio>
#include <cstring>

namespace {

struct Conversion {
    std::size_t end = 0;    // position after the conversion
    std::string spec;       // the conversion for snprintf, without a length modifier
    bool literalPercent = false;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the conversion that starts at the "%" at `pos`; false when it is not one that
// takes an int.
bool readConversion(std::string_view f, std::size_t pos, Conversion &c)
{
    std::size_t i = pos + 1;
    if (i < f.size() && f[i] == '%') {
        c.end = i + 1;
        c.literalPercent = true;
        return true;
    }
    c.spec = "%";
    while (i < f.size() && std::strchr("-+ #0", f[i]) && f[i] != '\0')
        c.spec += f[i++];
    auto digits = [&]() {
        std::size_t start = i;
        while (i < f.size() && isDigit(f[i]))
            c.spec += f[i++];
        return i - start <= 4;
    };
    if (!digits())
        return false;
    if (i < f.size() && f[i] == '.') {
        c.spec += f[i++];
        if (!digits())
            return false;
    }
    if (i + 1 < f.size() && f[i] == 'h' && f[i + 1] == 'h')
        i += 2;
    else if (i < f.size() && (f[i] == 'h' || f[i] == 'l'))
        ++i;
    if (i >= f.size() || !std::strchr("diouxXc", f[i]) || f[i] == '\0')
        return false;
    c.spec += f[i++];
    c.end = i;
    return true;
}

} // namespace

bool IsValidNumberFormat(std::string_view f)
{
    int conversions = 0;
    for (std::size_t i = 0; i < f.size();) {
        if (f[i] != '%') {
            ++i;
            continue;
        }
        Conversion c;
        if (!readConversion(f, i, c))
            return false;
        if (!c.literalPercent && ++conversions > 1)
            return false;
        i = c.end;
    }
    return true;
}

std::string FormatNumber(std::string_view f, int value)
{
    std::string out;
    for (std::size_t i = 0; i < f.size();) {
        if (f[i] != '%') {
            out += f[i++];
            continue;
        }
        Conversion c;
        if (!readConversion(f, i, c)) {
            out.append(f.substr(i)); // not reached for an accepted format
            break;
        }
        if (c.literalPercent) {
            out += '%';
        } else {
            char buffer[32];
            int n = std::snprintf(buffer, sizeof buffer, c.spec.c_str(), value);
            if (n >= 0 && static_cast<std::size_t>(n) < sizeof buffer) {
                out.append(buffer, static_cast<std::size_t>(n));
            } else if (n > 0) {
                std::string wide(static_cast<std::size_t>(n) + 1, '\0');
                std::snprintf(wide.data(), wide.size(), c.spec.c_str(), value);
                out.append(wide.data(), static_cast<std::size_t>(n));
            }
        }
        i = c.end;
    }
    return out;
}
