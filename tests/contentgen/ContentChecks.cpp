#include "ContentChecks.h"

#include "platform/Paths.h"

#include <cstdint>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace kv::test {

PictureInfo inspectPicture(std::string_view path) {
    PictureInfo info;
    std::string bytes;
    if (!readWholeFile(path, bytes))
        return info;
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                              static_cast<int>(bytes.size()), &w, &h, &n, 3);
    if (!px)
        return info;
    info.width = w;
    info.height = h;
    for (int i = 0; i < w * h && !info.hasKeyCyan; ++i)
        info.hasKeyCyan = px[3 * i] == 0 && px[3 * i + 1] == 255 && px[3 * i + 2] == 255;
    stbi_image_free(px);
    if (bytes.size() > 30 && bytes.compare(0, 2, "BM") == 0)
        info.bmpBits = static_cast<uint8_t>(bytes[28]) | static_cast<uint8_t>(bytes[29]) << 8;
    return info;
}

double drawnShare(std::string_view path, double left, double top, double right, double bottom) {
    std::string bytes;
    if (!readWholeFile(path, bytes))
        return -1;
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                              static_cast<int>(bytes.size()), &w, &h, &n, 3);
    if (!px)
        return -1;
    int drawn = 0, all = 0;
    for (int y = static_cast<int>(top * h); y < static_cast<int>(bottom * h); ++y)
        for (int x = static_cast<int>(left * w); x < static_cast<int>(right * w); ++x, ++all) {
            const unsigned char* p = px + 3 * (static_cast<size_t>(y) * w + x);
            drawn += !(p[0] == 0 && p[1] == 255 && p[2] == 255);
        }
    stbi_image_free(px);
    return all ? static_cast<double>(drawn) / all : 0;
}

static uint32_t be32(const std::string& s, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3]));
}

std::string checkMidi(std::string_view path, int& tracks) {
    std::string b;
    if (!readWholeFile(path, b))
        return "cannot be read";
    if (b.size() < 14 || b.compare(0, 4, "MThd") != 0 || be32(b, 4) != 6)
        return "no MThd header";
    int format = static_cast<uint8_t>(b[8]) << 8 | static_cast<uint8_t>(b[9]);
    tracks = static_cast<uint8_t>(b[10]) << 8 | static_cast<uint8_t>(b[11]);
    if (format != 1)
        return "not a type 1 file";
    size_t at = 14;
    for (int t = 0; t < tracks; ++t) {
        if (at + 8 > b.size() || b.compare(at, 4, "MTrk") != 0)
            return "track " + std::to_string(t) + " missing";
        uint32_t len = be32(b, at + 4);
        if (at + 8 + len > b.size() || len < 4)
            return "track " + std::to_string(t) + " cut short";
        // Every track ends with the end-of-track event.
        if (b.compare(at + 8 + len - 3, 3, std::string("\xFF\x2F\x00", 3)) != 0)
            return "track " + std::to_string(t) + " has no end";
        at += 8 + len;
    }
    return at == b.size() ? "" : "bytes after the last track";
}

std::string checkAvi(std::string_view path, int& frames, int& width, int& height) {
    frames = width = height = 0;
    AVFormatContext* fmt = nullptr;
    std::string host = hostPath(path);
    if (avformat_open_input(&fmt, host.c_str(), nullptr, nullptr) != 0)
        return "FFmpeg cannot open it";
    std::string error;
    AVCodecContext* dec = nullptr;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int stream = -1;
    if (avformat_find_stream_info(fmt, nullptr) < 0 ||
        (stream = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)) < 0) {
        error = "no video stream";
    } else {
        const AVCodecParameters* par = fmt->streams[stream]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        dec = codec ? avcodec_alloc_context3(codec) : nullptr;
        if (!dec || avcodec_parameters_to_context(dec, par) < 0 ||
            avcodec_open2(dec, codec, nullptr) < 0)
            error = "no decoder";
        while (error.empty() && av_read_frame(fmt, pkt) >= 0) {
            if (pkt->stream_index == stream) {
                if (avcodec_send_packet(dec, pkt) < 0 || avcodec_receive_frame(dec, frame) < 0)
                    error = "frame " + std::to_string(frames) + " does not decode";
                else {
                    ++frames;
                    width = frame->width;
                    height = frame->height;
                }
            }
            av_packet_unref(pkt);
        }
    }
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    avformat_close_input(&fmt);
    return error;
}

} // namespace kv::test
