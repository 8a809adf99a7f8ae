// Where a back buffer goes in a window of another size: scaled to fit with its aspect kept,
// centred, black bars on the two remaining sides.
#pragma once

namespace d3dgl {

struct LetterboxRect {
    int x = 0, y = 0, width = 0, height = 0;
};

inline LetterboxRect letterbox(int sourceWidth, int sourceHeight, int windowWidth, int windowHeight)
{
    LetterboxRect rect;
    if (sourceWidth <= 0 || sourceHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) return rect;
    // Compare windowWidth / windowHeight with sourceWidth / sourceHeight without rounding.
    const long long wideness = static_cast<long long>(windowWidth) * sourceHeight;
    const long long sourceWideness = static_cast<long long>(sourceWidth) * windowHeight;
    if (wideness > sourceWideness) {
        rect.height = windowHeight;
        rect.width = static_cast<int>(static_cast<long long>(sourceWidth) * windowHeight / sourceHeight);
    } else {
        rect.width = windowWidth;
        rect.height = static_cast<int>(static_cast<long long>(sourceHeight) * windowWidth / sourceWidth);
    }
    rect.x = (windowWidth - rect.width) / 2;
    rect.y = (windowHeight - rect.height) / 2;
    return rect;
}

} // namespace d3dgl
