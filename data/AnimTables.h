#pragma once
#include <array>
#include <cstdint>

namespace kv {

// The animation rows and action maps read from LIST_AnimeData and LIST_UseFrameData. Set s
// belongs to weapon s; row r of a set holds 12 columns (frames, next row, end rule, reach...);
// action k of a set names the row that starts it. The animation controller owns one.
struct AnimTables {
    static constexpr int kSets = 15;
    static constexpr int kRows = 256;
    static constexpr int kColumns = 12;
    static constexpr int kActions = 60;
    using Row = std::array<int16_t, kColumns>;

    std::array<std::array<Row, kRows>, kSets> rows{};
    std::array<std::array<uint8_t, kActions>, kSets> actionTable{};

    void setRow(int set, int row, const Row& values) { rows.at(set).at(row) = values; }
    void setActionRow(int set, int action, uint8_t row) { actionTable.at(set).at(action) = row; }
};

} // namespace kv
