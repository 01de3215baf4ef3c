// Fuzz target: abbreviation expansion and tokenizing, line by line as a run takes lines.
// The input's first line defines abbreviations ("aavalue|abvalue|..."), the rest is run.
#include "engine/bounds.h"
#include "engine/commandtable.h"
#include "engine/dispatch.h"
#include "engine/engine.h"
#include "engine/expression.h"
#include "engine/frame.h"
#include "engine/textlines.h"
#include "engine/tokenizer.h"
#include "engine/viewstate.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Tokens must fit the length they were cut to; the keyword lookup must stay in its table.
void CheckTokens(const TokenList &tokens, std::size_t maxLength)
{
    for (const Token &t : tokens)
        if (t.size() > maxLength)
            std::abort();
    InterpreterCommands().Find(tokens[0].view());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char *>(data), size);
    ViewState view;
    CCommandEngine engine(view);
    CommandFrame frame(engine, 0);

    std::string_view definitions = TakeLine(input);
    while (definitions.size() >= 2) {
        const std::size_t end = definitions.find('|');
        const std::string_view piece = definitions.substr(0, end);
        const int index = VariableIndex(piece);
        if (index >= 0)
            engine.abbreviations[static_cast<std::size_t>(index)].assign(piece.substr(2));
        if (end == std::string_view::npos)
            break;
        definitions.remove_prefix(end + 1);
    }

    RemainingText remaining(input);
    for (std::string_view line = remaining.TakeLine(); line != kEndMarker;
         line = remaining.TakeLine()) {
        if (Expand(frame, line) == 0 && frame.currentLine.size() > kMaxTextBytes)
            std::abort();
        Tokenize(frame);
        CheckTokens(frame.tokens, Token::kMaxLength);
        // The first initialisation pass reads its lines with shorter tokens.
        TokenList prepass;
        TokenizeLine(frame.currentLine, prepass, 29, true);
        CheckTokens(prepass, 29);
    }
    return 0;
}
