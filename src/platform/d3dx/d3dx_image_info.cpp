// Describing a picture in memory from its header alone.

#include "platform/d3dx/picture_image_info.h"
#include "platform/d3dx/pixel_rows.h"

D3DXIMAGE_INFO describePicture(const PictureHeader& header)
{
    D3DXIMAGE_INFO info{};
    info.Width = header.width;
    info.Height = header.height;
    info.Depth = 1;
    info.MipLevels = 1;
    info.Format = pictureFormatForComponents(header.components);
    info.ResourceType = D3DRTYPE_TEXTURE;
    switch (header.kind) {
    case PictureFileKind::Bmp: info.ImageFileFormat = D3DXIFF_BMP; break;
    case PictureFileKind::Jpeg: info.ImageFileFormat = D3DXIFF_JPG; break;
    case PictureFileKind::Tga: info.ImageFileFormat = D3DXIFF_TGA; break;
    case PictureFileKind::Png: info.ImageFileFormat = D3DXIFF_PNG; break;
    }
    return info;
}

HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT size, D3DXIMAGE_INFO* info)
{
    if (!data || size == 0) return D3DERR_INVALIDCALL;
    const std::optional<PictureHeader> header = readPictureHeader(data, size);
    if (!header) return D3DXERR_INVALIDDATA;
    if (info) *info = describePicture(*header);
    return D3D_OK;
}
