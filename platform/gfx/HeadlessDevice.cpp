#include "platform/gfx/HeadlessDevice.h"

#include <memory>

namespace kv {

std::unique_ptr<Device> createHeadlessDevice(int width, int height) {
    return std::make_unique<HeadlessDevice>(width, height);
}

} // namespace kv
