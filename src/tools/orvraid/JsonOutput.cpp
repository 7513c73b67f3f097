#include "JsonOutput.h"

#include "Keyword.h"

#include <algorithm>
#include <ios>

namespace orvraid {
namespace {

int streamSlot()
{
    static const int slot = std::ios_base::xalloc();
    return slot;
}

bool takesJson(const std::string& firstWord)
{
    const std::string word = toLower(firstWord);
    return word == "list" || word == "detail";
}

}  // namespace

bool JsonOutput::enabled(std::ios_base& stream) { return stream.iword(streamSlot()) != 0; }

void JsonOutput::enable(std::ios_base& stream, bool on) { stream.iword(streamSlot()) = on ? 1 : 0; }

bool JsonOutput::takeSwitch(std::vector<std::string>& words)
{
    if (words.empty() || !takesJson(words.front()))
        return false;
    const auto isSwitch = [](const std::string& word) { return toLower(word) == "--json"; };
    const auto found = std::remove_if(words.begin(), words.end(), isSwitch);
    const bool taken = found != words.end();
    words.erase(found, words.end());
    return taken;
}

}  // namespace orvraid
