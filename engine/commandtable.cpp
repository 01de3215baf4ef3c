// The command table, and the interpreter's own part of it.
#include "commandtable.h"

#include "handlers.h"

#include <cstdlib>

namespace {

// The interpreter's commands, one line each.
constexpr Command kInterpreterCommands[] = {
    {"$", CmdAssign},             // $aa value
    {"<", CmdCall},               // <path
    {"{", CmdDefineAbbreviation}, // {aa}text
    {"cre", CmdStore},            // crestore
    {"cst", CmdStore},            // cstore
    {"nsk", CmdSkip},             // nskip
    {"pag", CmdPage},             // page
    {"rep", CmdRepeat},           // repeat
    {"res", CmdStore},            // restore
    {"ski", CmdSkip},             // skip
    {"sto", CmdStore},            // store
};

// The three bytes as one number; the bit above them keeps every key apart from 0 (free).
std::uint32_t keyOf(std::string_view key)
{
    return 1u << 24 | static_cast<std::uint32_t>(static_cast<unsigned char>(key[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(key[1])) << 8 |
           static_cast<unsigned char>(key[0]);
}

std::size_t slotOf(std::uint32_t key, std::size_t slots)
{
    return (key * 2654435761u) % slots;
}

} // namespace

CommandTable::CommandTable(std::initializer_list<std::span<const Command>> lists)
{
    std::size_t keywords = 0;
    for (std::span<const Command> list : lists) {
        for (const Command &c : list) {
            if (c.key.size() == 1) {
                if (m_forms[static_cast<unsigned char>(c.key[0])])
                    std::abort();
                m_forms[static_cast<unsigned char>(c.key[0])] = c.handler;
                continue;
            }
            if (c.key.size() != 3 || ++keywords >= kSlots)
                std::abort();
            const std::uint32_t key = keyOf(c.key);
            std::size_t i = slotOf(key, kSlots);
            for (; m_keywords[i].key != 0; i = (i + 1) % kSlots) {
                if (m_keywords[i].key == key)
                    std::abort();
            }
            m_keywords[i] = {key, c.handler};
        }
    }
}

CommandHandler CommandTable::Find(std::string_view token0) const
{
    if (token0.size() < 3)
        return nullptr;
    const std::uint32_t key = keyOf(token0);
    for (std::size_t i = slotOf(key, kSlots); m_keywords[i].key != 0; i = (i + 1) % kSlots) {
        if (m_keywords[i].key == key)
            return m_keywords[i].handler;
    }
    return nullptr;
}

std::span<const Command> InterpreterCommandList()
{
    return kInterpreterCommands;
}

const CommandTable &InterpreterCommands()
{
    static const CommandTable table{InterpreterCommandList()};
    return table;
}
