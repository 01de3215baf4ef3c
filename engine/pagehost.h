// What the layer that runs pages adds to the interpreter.
#pragma once

#include "commandtable.h"

// The layer above the interpreter brings its commands, joined with the interpreter's own
// in one table, and its own state for one page run: it derives from PageHost, and its
// handlers reach that state through the engine's `host`. Only the layer's own table holds
// its handlers, so they run only on engines that carry its host.
class PageHost {
public:
    explicit PageHost(const CommandTable &commands) : m_commands(commands) {}
    virtual ~PageHost() = default;
    PageHost(const PageHost &) = delete;
    PageHost &operator=(const PageHost &) = delete;

    const CommandTable &commands() const { return m_commands; }

private:
    const CommandTable &m_commands;
};
