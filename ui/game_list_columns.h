// The columns of GameList: hidden row number, game name, link, activation code, other remarks.
#pragma once

#include <array>
#include <string_view>

namespace velmora {

struct ListColumn {
    std::string_view header;
    int width;
};

inline constexpr std::array<ListColumn, 5> kGameListColumns{{
    {"", 0}, // the 1-based row number, kept but not shown
    {"游戏名", 150},
    {"链接", 300},
    {"激活码", 50},
    {"其他", 300},
}};

inline constexpr int kColumnRowNumber = 0;
inline constexpr int kColumnGameName = 1;
inline constexpr int kColumnLink = 2;

} // namespace velmora
