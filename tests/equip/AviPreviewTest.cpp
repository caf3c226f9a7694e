#include "tools/equip/AviPreview.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include "data/LineFile.h"
#include "tests/support/TempGameFolder.h"

namespace kv {
namespace {

constexpr int kW = 32, kH = 24, kFps = 10;
// Frame i is a flat grey of this level.
constexpr int kLevels[] = {30, 130, 230};

// A small MJPEG AVI written with FFmpeg, the kind of file the previews are.
bool writeAvi(const char* path) {
    AVFormatContext* fmt = nullptr;
    if (avformat_alloc_output_context2(&fmt, nullptr, "avi", path) < 0)
        return false;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    AVStream* st = avformat_new_stream(fmt, nullptr);
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->width = kW;
    c->height = kH;
    c->time_base = AVRational{1, kFps};
    c->pix_fmt = AV_PIX_FMT_YUVJ420P;
    bool ok = avcodec_open2(c, codec, nullptr) >= 0 &&
              avcodec_parameters_from_context(st->codecpar, c) >= 0;
    st->time_base = c->time_base;
    ok = ok && avio_open(&fmt->pb, path, AVIO_FLAG_WRITE) >= 0 &&
         avformat_write_header(fmt, nullptr) >= 0;
    AVFrame* frame = av_frame_alloc();
    frame->format = c->pix_fmt;
    frame->width = kW;
    frame->height = kH;
    ok = ok && av_frame_get_buffer(frame, 0) >= 0;
    AVPacket* pkt = av_packet_alloc();
    auto drain = [&] {
        while (avcodec_receive_packet(c, pkt) == 0) {
            av_packet_rescale_ts(pkt, c->time_base, st->time_base);
            pkt->stream_index = st->index;
            av_interleaved_write_frame(fmt, pkt);
        }
    };
    for (int i = 0; ok && i < 3; ++i) {
        av_frame_make_writable(frame);
        for (int y = 0; y < kH; ++y)
            memset(frame->data[0] + y * frame->linesize[0], kLevels[i], kW);
        for (int p = 1; p < 3; ++p)
            for (int y = 0; y < kH / 2; ++y)
                memset(frame->data[p] + y * frame->linesize[p], 128, kW / 2);
        frame->pts = i;
        ok = avcodec_send_frame(c, frame) >= 0;
        drain();
    }
    avcodec_send_frame(c, nullptr);
    drain();
    ok = ok && av_write_trailer(fmt) >= 0;
    av_packet_free(&pkt);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    avio_closep(&fmt->pb);
    avformat_free_context(fmt);
    return ok;
}

class AviPreviewTest : public TempGameFolder {};

int grey(const AviPreview& p) {
    return p.rgba()[(kH / 2 * kW + kW / 2) * 4];
}

TEST_F(AviPreviewTest, PlaysFramesAtTheirRateAndStartsAgainAtTheEnd) {
    ASSERT_TRUE(writeAvi("clip.avi"));
    AviPreview p;
    ASSERT_TRUE(p.open("clip.avi", kW, kH, 1000));
    EXPECT_NEAR(grey(p), kLevels[0], 12);
    EXPECT_FALSE(p.advance(1050)) << "the second frame is not due before 100 ms";
    EXPECT_TRUE(p.advance(1100));
    EXPECT_NEAR(grey(p), kLevels[1], 12);
    EXPECT_TRUE(p.advance(1200));
    EXPECT_NEAR(grey(p), kLevels[2], 12);
    EXPECT_EQ(p.loops(), 0);
    EXPECT_TRUE(p.advance(1300));
    EXPECT_EQ(p.loops(), 1);
    EXPECT_NEAR(grey(p), kLevels[0], 12);
    EXPECT_TRUE(p.advance(1400));
    EXPECT_NEAR(grey(p), kLevels[1], 12);
}

TEST_F(AviPreviewTest, MissingOrBrokenFilesDoNotOpen) {
    AviPreview p;
    EXPECT_FALSE(p.open("none.avi", kW, kH, 0));
    ASSERT_TRUE(writeLineFile("bad.avi", {"RIFF but not a video"}));
    EXPECT_FALSE(p.open("bad.avi", kW, kH, 0));
    EXPECT_FALSE(p.isOpen());
}

} // namespace
} // namespace kv
