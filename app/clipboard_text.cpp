#include "app/clipboard_text.h"

namespace velmora {

std::string ClipboardText;

void OnExit() {
    if (ClipboardText.empty())
        return;
    std::string().swap(ClipboardText); // frees the storage, not only the length
}

} // namespace velmora
