// Drawing and advancing one layer.
#include "script/layer.h"

#include "content2d/image_blitter.h"
#include "script/narrow_to_float.h"

float clampedLayerAlpha(float alpha) {
    if (alpha >= 1.0f) return 1.0f;
    if (!(alpha > 0.0f)) return 0.0f;
    return alpha;
}

void Layer::draw(float scriptTimeMs) {
    content->x = x;
    content->y = y;
    content->alpha = clampedLayerAlpha(alpha);
    content->additive = additive;
    content->draw(scriptTimeMs);

    // Rates are per second; the products are taken in double, as the 0.001 factor is.
    x = narrowToFloat((scriptTimeMs - posStartTime) * dx * 0.001 + baseX);
    y = narrowToFloat((scriptTimeMs - posStartTime) * dy * 0.001 + baseY);
    alpha = narrowToFloat((scriptTimeMs - alphaStartTime) * dAlpha * 0.001 + baseAlpha);
}
