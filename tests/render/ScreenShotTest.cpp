// F12 reports what happened to the picture: where it was saved, or that it was not and why.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/Clock.h"
#include "platform/Text.h"
#include "platform/gfx/HeadlessDevice.h"
#include "render/MessageLog.h"
#include "render/ScreenShot.h"

namespace kv {
namespace {

// A device whose screen reads back as a small grey picture.
class GreyScreen final : public HeadlessDevice {
public:
    Image readPixels() override { return {4, 2, std::vector<uint8_t>(4 * 2 * 4, 128)}; }
};

class ScreenShotReport : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        char tmpl[] = "/tmp/kv-shot-XXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir_ = tmpl;
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    // F12 on the next frame; the report line it leaves in the log (UTF-8).
    static std::string press(Device& device, bool& saved) {
        FakeClock clock{1000};
        MessageLog log{clock};
        ScreenShot shot(device, log);
        std::tm t{};
        t.tm_year = 126;
        t.tm_mday = 9;
        shot.request(t);
        saved = shot.captureIfRequested();
        std::string report;
        for (const auto& line : log.lines())
            if (line.text.size() > 1)
                report += cp932ToUtf8(line.text);
        return report;
    }
    std::filesystem::path old_, dir_;
};

} // namespace

TEST_F(ScreenShotReport, ASavedPictureIsNamedInTheLog) {
    GreyScreen screen;
    bool saved = false;
    EXPECT_EQ(press(screen, saved),
              "現在の画像をScreenShot/KV2026年1月9日0時0分0秒.bmpとして保存しました。");
    EXPECT_TRUE(saved);
    EXPECT_TRUE(std::filesystem::exists("ScreenShot/KV2026年1月9日0時0分0秒.bmp"));
}

TEST_F(ScreenShotReport, AFailureIsReportedWithItsReasonNeverAsSaved) {
    HeadlessDevice unreadable;
    bool saved = true;
    EXPECT_EQ(press(unreadable, saved), "画像を保存できませんでした（画面を読み取れません）。");
    EXPECT_FALSE(saved);

    // The folder cannot be made: a file of its name stands in the way.
    std::ofstream("ScreenShot") << "not a folder";
    GreyScreen screen;
    std::string report = press(screen, saved);
    EXPECT_FALSE(saved);
    EXPECT_EQ(report.rfind("画像を保存できませんでした（", 0), 0u) << report;
    EXPECT_NE(report.find("Not a directory"), std::string::npos) << report;
    EXPECT_EQ(report.find("保存しました"), std::string::npos) << report;
}

} // namespace kv
