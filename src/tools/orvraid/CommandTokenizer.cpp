#include "CommandTokenizer.h"

#include "CommandError.h"

#include <cctype>

namespace orvraid {

std::vector<std::string> tokenizeCommand(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
            continue;
        }
        if (!quoted && std::isspace(static_cast<unsigned char>(c))) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
            continue;
        }
        word += c;
        inWord = true;
    }
    if (quoted)
        throw CommandError::syntax("A quotation mark is not closed.");
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

}  // namespace orvraid
