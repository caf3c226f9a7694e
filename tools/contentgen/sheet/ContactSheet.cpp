// contentsheet GAME_FOLDER SHEET.png SOUNDS.txt [CELL [NAME_PART]]: one picture of every BMP and
// JPEG of the tree (transparent cyan shown as a dark checkerboard, as the game would show it) and a
// list of every WAV file with its format and length. For looking at the content, not used by the
// build.
#include "tools/contentgen/core/Canvas.h"
#include "tools/contentgen/core/Font.h"
#include "tools/contentgen/core/ImageFile.h"
#include "tools/contentgen/core/Wav.h"

#include "platform/Paths.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stb/stb_image.h>

namespace fs = std::filesystem;
using namespace kv::gen;

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: contentsheet GAME_FOLDER SHEET.png SOUNDS.txt [CELL [NAME_PART]]\n");
        return 2;
    }
    fs::path root = argv[1];
    std::vector<fs::path> pictures, sounds;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file())
            continue;
        std::string ext = e.path().extension().string();
        if (argc > 5 && e.path().string().find(argv[5]) == std::string::npos)
            continue;
        if (ext == ".bmp" || ext == ".jpg")
            pictures.push_back(e.path());
        else if (ext == ".wav")
            sounds.push_back(e.path());
    }
    std::sort(pictures.begin(), pictures.end());
    std::sort(sounds.begin(), sounds.end());

    const int cell = argc > 4 ? std::atoi(argv[4]) : 128, label = 14;
    const int cols = std::max(1, 2048 / cell);
    int rows = static_cast<int>((pictures.size() + cols - 1) / cols);
    Canvas sheet(cols * cell, rows * (cell + label));
    sheet.fillAll(solid(hex(0x202024)));
    Font font("IPAPGothic");
    for (size_t i = 0; i < pictures.size(); ++i) {
        int w, h, n;
        std::string bytes;
        kv::readWholeFile(pictures[i].string(), bytes);
        unsigned char* px =
            stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                  static_cast<int>(bytes.size()), &w, &h, &n, 3);
        int cx = static_cast<int>(i % cols) * cell,
            cy = static_cast<int>(i / cols) * (cell + label);
        if (!px)
            continue;
        float s = std::min(1.0f, std::min((cell - 4.0f) / w, (cell - 4.0f) / h));
        if (w <= 64 && h <= 64)
            s = std::min((cell - 4.0f) / w, (cell - 4.0f) / h);
        int tw = std::max(1, static_cast<int>(w * s)), th = std::max(1, static_cast<int>(h * s));
        int ox = cx + (cell - tw) / 2, oy = cy + (cell - th) / 2;
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x) {
                int sx = std::min(w - 1, static_cast<int>(x / s));
                int sy = std::min(h - 1, static_cast<int>(y / s));
                const unsigned char* p = px + (static_cast<size_t>(sy) * w + sx) * 3;
                Colour c = hex(static_cast<uint32_t>(p[0] << 16 | p[1] << 8 | p[2]));
                if (p[0] == 0 && p[1] == 255 && p[2] == 255)
                    c = (((x / 8) + (y / 8)) % 2) ? hex(0x3a3a40) : hex(0x303036);
                sheet.setPixel(ox + x, oy + y, c);
            }
        stbi_image_free(px);
        TextStyle st;
        st.size = 10;
        st.maxWidth = cell - 4;
        Mask t = font.text(pictures[i].filename().string(), st, sheet.width(), sheet.height(),
                           static_cast<float>(cx + cell / 2), static_cast<float>(cy + cell + 6));
        sheet.fill(t, solid(hex(0xE0E0E0)));
    }
    std::string png = encodePng(sheet.width(), sheet.height(), sheet.toRgb(false));
    std::ofstream(argv[2], std::ios::binary).write(png.data(), static_cast<long>(png.size()));

    std::ofstream list(argv[3]);
    double total = 0;
    for (const auto& p : sounds) {
        std::string bytes;
        kv::readWholeFile(p.string(), bytes);
        Sound snd;
        char line[512];
        if (decodeWav(bytes, snd)) {
            std::snprintf(line, sizeof line, "%-48s %6.2f s  %5d Hz  %s\n",
                          fs::relative(p, root).string().c_str(), snd.seconds(), snd.rate,
                          snd.channels == 1 ? "mono" : "stereo");
            total += snd.seconds();
        } else {
            std::snprintf(line, sizeof line, "%-48s NOT A PCM WAVE FILE\n",
                          fs::relative(p, root).string().c_str());
        }
        list << line;
    }
    list << sounds.size() << " sounds, " << total << " s in all\n";
    std::printf("%zu pictures, %zu sounds\n", pictures.size(), sounds.size());
    return 0;
}
