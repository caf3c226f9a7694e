#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kv {

// A looping video player for the preview areas: FFmpeg decodes the file, each due frame is
// turned into RGBA pixels of the size asked for, and the end of the file seeks back to the
// start. At most one is open per editor.
class AviPreview {
public:
    AviPreview();
    ~AviPreview();
    AviPreview(const AviPreview&) = delete;
    AviPreview& operator=(const AviPreview&) = delete;

    // Opens a content path and shows its first frame at width x height. False when it cannot
    // be opened or holds no video it can decode.
    bool open(std::string_view contentPath, int width, int height, uint32_t nowMs);
    void close();
    bool isOpen() const;

    // Advances to the frame due at nowMs; true when the picture changed.
    bool advance(uint32_t nowMs);
    const std::vector<uint8_t>& rgba() const { return rgba_; }
    int width() const { return w_; }
    int height() const { return h_; }
    int loops() const { return loops_; } // times the video ran to its end and started again

private:
    struct Codec;
    bool decodeNext();

    std::unique_ptr<Codec> c_;
    std::vector<uint8_t> rgba_;
    int w_ = 0, h_ = 0, loops_ = 0;
    uint32_t startMs_ = 0;
    int64_t shownFrame_ = 0;
};

} // namespace kv
