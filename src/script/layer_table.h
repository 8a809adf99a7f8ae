// The Scripter's layers by number (any signed 32-bit value), iterated in ascending order.
// Layers refer to images they do not own, so removing an image removes its layers first.
#pragma once

#include "script/layer.h"

#include <cstdint>
#include <functional>
#include <map>

class LayerTable {
public:
    using Entries = std::map<std::int32_t, Layer>;

    // Replaces layer number with a fresh layer showing image (creation values).
    void set(std::int32_t number, ImageBlitter* image);
    void remove(std::int32_t number);
    void clear();
    void removeShowing(const ImageBlitter* image);

    Layer* find(std::int32_t number);
    const Layer* find(std::int32_t number) const;
    const Entries& entries() const { return layers_; }

    // One frame: layers below 0 in ascending order, then the scene (when drawScene is set),
    // then layers 0 and up, all at script time scriptTimeMs.
    void compose(float scriptTimeMs, const std::function<void()>& drawScene);

private:
    Entries layers_;
};
