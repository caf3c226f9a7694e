#include "tools/equip/AviPreview.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "platform/Paths.h"

namespace kv {

struct AviPreview::Codec {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* scale = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int stream = -1;
    AVRational rate{15, 1}; // frames per second

    ~Codec() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        sws_freeContext(scale);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

AviPreview::AviPreview() = default;
AviPreview::~AviPreview() = default;

bool AviPreview::isOpen() const {
    return c_ != nullptr;
}

void AviPreview::close() {
    c_.reset();
    rgba_.clear();
}

bool AviPreview::open(std::string_view contentPath, int width, int height, uint32_t nowMs) {
    close();
    auto c = std::make_unique<Codec>();
    std::string path = hostPath(contentPath);
    if (avformat_open_input(&c->format, path.c_str(), nullptr, nullptr) < 0)
        return false;
    if (avformat_find_stream_info(c->format, nullptr) < 0)
        return false;
    const AVCodec* decoder = nullptr;
    c->stream = av_find_best_stream(c->format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (c->stream < 0 || !decoder)
        return false;
    AVStream* st = c->format->streams[c->stream];
    c->codec = avcodec_alloc_context3(decoder);
    if (!c->codec || avcodec_parameters_to_context(c->codec, st->codecpar) < 0 ||
        avcodec_open2(c->codec, decoder, nullptr) < 0)
        return false;
    AVRational rate = st->avg_frame_rate.num ? st->avg_frame_rate : st->r_frame_rate;
    if (rate.num > 0 && rate.den > 0 && av_q2d(rate) < 200)
        c->rate = rate;
    c->frame = av_frame_alloc();
    c->packet = av_packet_alloc();
    if (!c->frame || !c->packet)
        return false;
    c_ = std::move(c);
    w_ = width;
    h_ = height;
    rgba_.assign(static_cast<size_t>(w_) * h_ * 4, 0);
    loops_ = 0;
    startMs_ = nowMs;
    shownFrame_ = 0;
    if (!decodeNext()) {
        close();
        return false;
    }
    return true;
}

// Decodes the next frame into rgba_, going back to the start at the end of the file.
bool AviPreview::decodeNext() {
    for (int attempts = 0; attempts < 2; ++attempts) {
        for (;;) {
            int r = avcodec_receive_frame(c_->codec, c_->frame);
            if (r == 0) {
                // MJPEG decodes to the full-range "J" formats; swscale wants the plain format
                // with the range set instead.
                AVPixelFormat fmt = static_cast<AVPixelFormat>(c_->frame->format);
                int fullRange = 0;
                switch (fmt) {
                case AV_PIX_FMT_YUVJ420P:
                    fmt = AV_PIX_FMT_YUV420P;
                    fullRange = 1;
                    break;
                case AV_PIX_FMT_YUVJ422P:
                    fmt = AV_PIX_FMT_YUV422P;
                    fullRange = 1;
                    break;
                case AV_PIX_FMT_YUVJ444P:
                    fmt = AV_PIX_FMT_YUV444P;
                    fullRange = 1;
                    break;
                default:
                    break;
                }
                c_->scale = sws_getCachedContext(c_->scale, c_->frame->width, c_->frame->height,
                                                 fmt, w_, h_, AV_PIX_FMT_RGBA, SWS_BILINEAR,
                                                 nullptr, nullptr, nullptr);
                if (!c_->scale)
                    return false;
                if (fullRange) {
                    const int* coef = sws_getCoefficients(SWS_CS_DEFAULT);
                    sws_setColorspaceDetails(c_->scale, coef, 1, coef, 1, 0, 1 << 16, 1 << 16);
                }
                uint8_t* dst[1] = {rgba_.data()};
                int dstStride[1] = {w_ * 4};
                sws_scale(c_->scale, c_->frame->data, c_->frame->linesize, 0, c_->frame->height,
                          dst, dstStride);
                return true;
            }
            if (r == AVERROR_EOF)
                break;
            if (r != AVERROR(EAGAIN))
                return false;
            // The decoder wants more input.
            bool sent = false;
            while (!sent) {
                int rr = av_read_frame(c_->format, c_->packet);
                if (rr < 0) {
                    avcodec_send_packet(c_->codec, nullptr); // drain what is left
                    sent = true;
                    break;
                }
                if (c_->packet->stream_index == c_->stream) {
                    avcodec_send_packet(c_->codec, c_->packet);
                    sent = true;
                }
                av_packet_unref(c_->packet);
            }
        }
        // End of the file: start again.
        ++loops_;
        if (av_seek_frame(c_->format, c_->stream, 0, AVSEEK_FLAG_BACKWARD) < 0)
            return false;
        avcodec_flush_buffers(c_->codec);
    }
    return false;
}

bool AviPreview::advance(uint32_t nowMs) {
    if (!c_)
        return false;
    // Frames play at the stream's rate from the moment the preview opened; frames already
    // late are decoded and dropped, but never more than a few per call.
    const int64_t due = int64_t{nowMs - startMs_} * c_->rate.num / (int64_t{1000} * c_->rate.den);
    bool changed = false;
    for (int n = 0; n < 8 && shownFrame_ < due; ++n) {
        if (!decodeNext()) {
            close();
            return changed;
        }
        ++shownFrame_;
        changed = true;
    }
    if (shownFrame_ < due)
        shownFrame_ = due;
    return changed;
}

} // namespace kv
