#include "scene/index_buffer.h"

#include "platform/shell/shell.h"
#include "render/state_cache.h"

#include <cstring>

IndexBuffer::IndexBuffer(SceneGraph& scene, int id) : Base(scene, id) {}

void IndexBuffer::setIndices(std::vector<std::uint16_t> indices)
{
    triangleCount_ = static_cast<std::uint32_t>(indices.size() / 3);
    indices_ = std::move(indices);
}

bool IndexBuffer::createDeviceBuffer() { return stateCache().createIndexBuffer(triangleCount_, device_); }

void IndexBuffer::upload()
{
    if (!device_) return;
    void* data = nullptr;
    if (FAILED(device_->Lock(0, 0, &data, 0)) || !data) failWithMessage("Error", "Index buffer lock failed!", 0);
    std::memcpy(data, indices_.data(), std::size_t{triangleCount_} * 6);
    device_->Unlock();
}
