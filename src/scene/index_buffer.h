// A mesh's 16-bit triangle list: the CPU copy in file order, its triangle count (a trailing
// partial triangle is not drawn) and the device buffer it is written to.
#pragma once

#include "platform/d3d9/device_ref.h"
#include "scene/base.h"

#include <cstdint>
#include <vector>

class IndexBuffer : public Base {
public:
    IndexBuffer(SceneGraph& scene, int id);

    void setIndices(std::vector<std::uint16_t> indices);
    const std::vector<std::uint16_t>& indices() const { return indices_; }
    std::uint32_t triangleCount() const { return triangleCount_; }

    bool createDeviceBuffer();
    DeviceRef<IDirect3DIndexBuffer9>& deviceBuffer() { return device_; }
    // Triangle count × 6 bytes into the device buffer; nothing without one, and a lock that
    // fails ends the program with its message.
    void upload();

private:
    std::uint32_t triangleCount_ = 0;
    DeviceRef<IDirect3DIndexBuffer9> device_;
    std::vector<std::uint16_t> indices_;
};
