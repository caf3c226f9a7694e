// libFuzzer entry: any bytes through the .x reader and the model builder must end in a
// model or a refusal, never a crash.
#include "models/XModel.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kv::XModel model;
    model.loadBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!model.frames.empty())
        model.computePose(0, 1234.5f);
    return 0;
}
