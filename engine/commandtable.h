// The command table of the language: every keyword by its first three bytes, and the line
// forms by the sign they begin with. Each layer lists its own commands in one place (the
// interpreter's here, the drawing layer's with its commands); a table joins the lists.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

struct CommandFrame;

using CommandHandler = void (*)(CommandFrame &);

// One line of a layer's list: the first three bytes of a keyword ("col" serves color,
// colour and col), or the one sign of a form that the dispatcher tells by its first byte:
// ":" text registration, "!" picture, "/" font name, "<" call, "=" number format,
// "{" abbreviation definition, "*" drawing the registered text, "$" assignment.
struct Command {
    std::string_view key;
    CommandHandler handler;
};

class CommandTable {
public:
    // Joins the lists. The lists are part of the program: a key of another length, or a
    // key in two lists, is a fault of the program and aborts it.
    CommandTable(std::initializer_list<std::span<const Command>> lists);

    // The handler of keyword `token0` (by its first three bytes), or nullptr.
    CommandHandler Find(std::string_view token0) const;
    // The handler of the form that begins with `sign`, or nullptr.
    CommandHandler Form(char sign) const { return m_forms[static_cast<unsigned char>(sign)]; }

private:
    struct Slot {
        std::uint32_t key = 0; // 0: free
        CommandHandler handler = nullptr;
    };
    static constexpr std::size_t kSlots = 128; // a power of two, well above the keywords
    std::array<Slot, kSlots> m_keywords{};
    std::array<CommandHandler, 256> m_forms{};
};

// The interpreter's own commands: variables, abbreviations, flow and calls.
std::span<const Command> InterpreterCommandList();

// A table of the interpreter's own commands alone, for runs that draw nothing.
const CommandTable &InterpreterCommands();
