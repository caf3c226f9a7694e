#include "tools/contentgen/Generator.h"

namespace kv::gen {

std::span<const Generator> generators() {
    static const Generator list[] = {
        {"data lists", writeDataLists},
        {"title pictures", drawTitlePictures},
        {"HUD pictures", drawHudPictures},
        {"loading pictures", drawLoadImages},
        {"icons", drawIcons},
        {"effects", drawEffects},
        {"faces and wears", drawFacesAndWears},
        {"hair pictures", drawHairPictures},
        {"sound effects", makeSoundEffects},
        {"voices", speakVoices},
        {"music", composeMusic},
        {"previews", makePreviews},
    };
    return list;
}

} // namespace kv::gen
