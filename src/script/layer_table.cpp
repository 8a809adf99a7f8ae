// Layer bookkeeping and the back-to-front composition of a frame.
#include "script/layer_table.h"

#include <iterator>

void LayerTable::set(std::int32_t number, ImageBlitter* image) {
    Layer layer;
    layer.content = image;
    layers_.insert_or_assign(number, layer);
}

void LayerTable::remove(std::int32_t number) { layers_.erase(number); }

void LayerTable::clear() { layers_.clear(); }

void LayerTable::removeShowing(const ImageBlitter* image) {
    std::erase_if(layers_, [image](const auto& entry) { return entry.second.content == image; });
}

Layer* LayerTable::find(std::int32_t number) {
    const auto found = layers_.find(number);
    return found == layers_.end() ? nullptr : &found->second;
}

const Layer* LayerTable::find(std::int32_t number) const {
    const auto found = layers_.find(number);
    return found == layers_.end() ? nullptr : &found->second;
}

void LayerTable::compose(float scriptTimeMs, const std::function<void()>& drawScene) {
    const auto firstInFront = layers_.lower_bound(0);
    for (auto layer = layers_.begin(); layer != firstInFront; ++layer) layer->second.draw(scriptTimeMs);
    if (drawScene) drawScene();
    for (auto layer = layers_.lower_bound(0); layer != layers_.end(); ++layer) {
        layer->second.draw(scriptTimeMs);
    }
}
