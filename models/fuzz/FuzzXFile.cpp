// libFuzzer entry: any bytes through the .x reader, the hierarchy builder and the static-mesh
// reader must end in a model or a refusal, never a crash.
#include "models/StaticMesh.h"
#include "models/XModel.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kv::XModel model;
    model.loadBytes(bytes);
    model.computePose(0, 1234.5f);
    kv::RigidMesh mesh;
    kv::readStaticMesh(bytes, mesh);
    return 0;
}
