#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace kv {

// The preset chat phrases: 7 categories of up to 7 items of up to 3 variants, each variant a
// text that is said and the voice file (in File\Sound\Voice\) that is heard with it.
// Numbers are 0-based here and on the wire; the digit keys are 1-based.
constexpr int kPresetCategories = 7;
constexpr int kPresetItems = 7;
constexpr int kPresetVariants = 3;

// Field sizes of the table, in CP932 bytes with the terminating zero.
constexpr int kPresetCategoryNameBytes = 16;
constexpr int kPresetItemNameBytes = 32;
constexpr int kPresetTextBytes = 32;
constexpr int kPresetVoiceFileBytes = 32;

// The table in CP932, converted once when it is built. Out-of-range numbers give 0 or "".
class PresetTable {
public:
    PresetTable();

    int itemCount(int category) const;
    int variantCount(int category, int item) const;
    const std::string& categoryName(int category) const;
    const std::string& itemName(int category, int item) const;
    const std::string& phraseText(int category, int item, int variant) const;
    // Empty when the variant has no voice.
    const std::string& voiceFile(int category, int item, int variant) const;

private:
    struct Variant {
        std::string text, voice;
    };
    struct Item {
        std::string name;
        int variantCount = 0;
        std::array<Variant, kPresetVariants> variants;
    };
    struct Category {
        std::string name;
        int itemCount = 0;
        std::array<Item, kPresetItems> items;
    };
    std::array<Category, kPresetCategories> categories_;
    std::string empty_;
};

// Moves the cursor to the next entry (item variant) of the table in table order and returns
// true; on the last entry (or a cursor off the table) resets it to (0, 0, 0) and returns false.
// Walking from (0, 0, 0) until false visits every entry once.
bool advancePresetCursor(uint8_t& category, uint8_t& item, uint8_t& variant);

// Number of true results of advancePresetCursor walked from (0, 0, 0): one less than the
// number of entries.
int countPresetSteps();

} // namespace kv
