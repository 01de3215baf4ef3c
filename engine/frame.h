// The state of one level of text being run: the page's section or one called file.
#pragma once

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

class CCommandEngine;
class RemainingText;
struct ViewState;

// One argument token: at most 99 bytes.
class Token {
public:
    static constexpr std::size_t kMaxLength = 99;
    std::string_view view() const { return {m_data, m_length}; }
    bool empty() const { return m_length == 0; }
    void clear() { m_length = 0; }
    // `length` is at most kMaxLength.
    void assign(const char *data, std::size_t length)
    {
        std::memcpy(m_data, data, length);
        m_length = length;
    }
    std::size_t size() const { return m_length; }
    // Building a token in place: up to kMaxLength bytes written to room(), then resize().
    char *room() { return m_data; }
    void resize(std::size_t length) { m_length = length; }

private:
    char m_data[kMaxLength];
    std::size_t m_length = 0;
};

// The tokens of a line: token 0 is the keyword, tokens 1 to 9 the arguments.
using TokenList = std::array<Token, 10>;

struct CommandFrame {
    CommandFrame(CCommandEngine &engine, int depth);
    virtual ~CommandFrame() = default;
    CommandFrame(const CommandFrame &) = delete;
    CommandFrame &operator=(const CommandFrame &) = delete;

    std::string_view token(int i) const { return tokens[static_cast<std::size_t>(i)].view(); }

    int firstErrorCode = 0;
    CCommandEngine *engine;
    ViewState *view;
    int depth;
    // The current line after abbreviation expansion, and as written. Both view bytes that
    // stay put while the line runs: the text being run, or expandedLine.
    std::string_view currentLine;
    std::string_view rawLine;
    std::string expandedLine; // the current line when it had abbreviations to expand
    TokenList tokens;
    int lineNo = 1;
    std::string repeatBody;
    int repeatStartLine = 0;
    int repeatEndLine = 0;
    int repeatRemaining = 0;

    // The save areas of store and cstore. They are made at their first use: most texts
    // never store, and a page would otherwise begin by building 676 strings.
    struct SaveAreas {
        std::array<int, 676> storedVariables{};
        std::array<std::string, 676> storedAbbreviations;
    };
    SaveAreas &saveAreas();

    // The dispatcher's state of the run on this frame: the text still to run, the lines
    // still to pass over, and whether a page line ended the run.
    RemainingText *remaining = nullptr;
    long long skipCount = 0;
    bool stopped = false;

private:
    std::unique_ptr<SaveAreas> m_saveAreas;
};
