// The create color command.
#include "script/commands/create_color.h"

#include "content2d/image_blitter.h"
#include "script/colour_byte.h"
#include "script/scripter.h"

#include <memory>

std::uint32_t CreateColor::argb() const {
    return 0xFF000000u + colourByte(red) * 65536u + colourByte(green) * 256u + colourByte(blue);
}

bool CreateColor::execute(float) {
    scripter_.removeImage(slot);
    scripter_.putImage(slot, std::make_unique<ImageBlitter>(scripter_.device(), "", scripter_.screenWidth(),
                                                            scripter_.screenHeight(), true, argb()));
    return true;
}
