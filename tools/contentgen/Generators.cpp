#include "tools/contentgen/Generator.h"

namespace kv::gen {

std::span<const Generator> generators() {
    static const Generator list[] = {
        // TMP        {"data lists", writeDataLists},
        {"title pictures", drawTitlePictures},
        {"HUD pictures", drawHudPictures},
                {"loading pictures", drawLoadImages},
        {"icons", drawIcons},
                {"effects", drawEffects},
        // TMP        {"faces and wears", drawFacesAndWears},
        // TMP        {"hair pictures", drawHairPictures},
        // TMP        {"sound effects", makeSoundEffects},
        // TMP        {"voices", speakVoices},
        // TMP        {"music", composeMusic},
        // TMP        {"previews", makePreviews},
    };
    return list;
}

} // namespace kv::gen
