#include "scene/texture_image.h"

#include "archive/memory_file.h"
#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/shell/shell.h"
#include "render/state_cache.h"

#include <cstdint>
#include <vector>

namespace {

[[noreturn]] void loadFailed(const std::string& fileName)
{
    failWithMessage("Error", "Texture load failed: " + withVisibleNul(fileName), 0);
}

std::vector<std::uint8_t> readResource(const std::string& fileName)
{
    MemoryFile* file = MemoryFile::open(fileName);
    if (!file) loadFailed(fileName);
    MemoryFile::seek(file, 0, 2);
    const std::int32_t size = MemoryFile::tell(file);
    MemoryFile::seek(file, 0, 0);
    std::vector<std::uint8_t> data(size > 0 ? static_cast<std::size_t>(size) : 0);
    const std::size_t read = MemoryFile::read(data.data(), 1, data.size(), file);
    MemoryFile::close(file);
    data.resize(read);
    return data;
}

} // namespace

IDirect3DTexture9* loadTextureImage(StateCache& cache, const std::string& fileName)
{
    DeviceRef<IDirect3DTexture9>& slot = cache.textureSlot(fileName);
    if (slot) return slot.get();
    const std::vector<std::uint8_t> data = readResource(fileName);
    IDirect3DTexture9* texture = nullptr;
    const HRESULT result = D3DXCreateTextureFromFileInMemoryEx(
        cache.device(), data.data(), static_cast<UINT>(data.size()), D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2,
        D3DX_DEFAULT, 0, D3DFMT_FROM_FILE, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture);
    if (FAILED(result) || !texture) loadFailed(fileName);
    slot = DeviceRef<IDirect3DTexture9>(texture);
    return texture;
}

bool textureHasAlpha(IDirect3DTexture9* texture)
{
    D3DSURFACE_DESC desc{};
    if (texture && SUCCEEDED(texture->GetLevelDesc(0, &desc))) {
        switch (desc.Format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_L8: return true;
        case D3DFMT_X8R8G8B8: return false;
        default: break;
        }
    }
    failWithMessage("Error", "Unknown texture format", 0);
}
