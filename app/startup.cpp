#include "app/startup.h"

namespace velmora {

std::string FolderOfProgram(std::string_view modulePath) {
    // A byte of 0x80 or above leads a two-byte character whose second byte may be 0x5C, so the
    // path is walked by characters: only a backslash that stands alone separates folders.
    std::size_t cut = std::string_view::npos;
    for (std::size_t i = 0; i < modulePath.size(); ++i) {
        const auto byte = static_cast<unsigned char>(modulePath[i]);
        if (byte >= 0x80)
            ++i;
        else if (byte == '\\')
            cut = i;
    }
    return cut == std::string_view::npos ? std::string() : std::string(modulePath.substr(0, cut));
}

} // namespace velmora
