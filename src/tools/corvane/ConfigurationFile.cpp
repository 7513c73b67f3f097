#include "ConfigurationFile.h"

#include <fstream>
#include <iterator>

namespace corvane {

std::string ConfigurationFile::problem(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "cannot read '" + path + "'";
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.find_first_not_of(" \t\r\n") == std::string::npos)
        return "'" + path + "' is empty, not a saved configuration";
    if (!isText(bytes))
        return "'" + path + "' is not a configuration the array saved (not text)";
    return {};
}

bool ConfigurationFile::isText(const std::string& bytes) {
    std::size_t continuation = 0;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (continuation > 0) {
            if ((byte & 0xC0) != 0x80)
                return false;
            --continuation;
        } else if (byte < 0x20) {
            if (byte != '\t' && byte != '\n' && byte != '\r')
                return false;
        } else if (byte >= 0x80) {
            if ((byte & 0xE0) == 0xC0) continuation = 1;
            else if ((byte & 0xF0) == 0xE0) continuation = 2;
            else if ((byte & 0xF8) == 0xF0) continuation = 3;
            else return false;
        } else if (byte == 0x7F) {
            return false;
        }
    }
    return continuation == 0;
}

} // namespace corvane
