// The load image command.
#include "script/commands/load_image.h"

#include "content2d/image_blitter.h"
#include "script/scripter.h"

#include <memory>

bool LoadImage::execute(float) {
    scripter_.removeImage(slot);
    scripter_.putImage(slot, std::make_unique<ImageBlitter>(scripter_.device(), file, scripter_.screenWidth(),
                                                            scripter_.screenHeight(), false, 0xFFFFFFFFu));
    return true;
}
