#include "ui/progress_window_record.h"

#include <array>

namespace velmora {
namespace {

constexpr std::array kComponents{
    ComponentRecord{.kind = ComponentKind::ProgressBar,
                    .role = Role::ProgressBar,
                    .recordName = "进度条1",
                    .x = 8, .y = 8, .width = 632, .height = 24},
};

} // namespace

const WindowRecord kProgressWindowRecord{
    .caption = "导出中……",
    .width = 644,
    .height = 61,
    .controlBox = false, // no system menu, so the caption bar shows no buttons at all
    .minimizeBox = true,
    .maximizeBox = false,
    .components = kComponents,
};

} // namespace velmora
