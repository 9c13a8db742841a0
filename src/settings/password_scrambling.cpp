#include "settings/password_scrambling.h"

#include <cstddef>

namespace quillrun {

const std::string g_scrambleKey = "bTx7Q#m4w";

std::string ScrambleText(std::string text, std::string key) {
    // The key is never empty; an empty one would leave nothing to repeat along the text.
    if (key.empty()) {
        return text;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>(text[i] ^ key[i % key.size()]);
    }
    return text;
}

}  // namespace quillrun
