#include "platform/flash/ax_flash_window.h"

#include "platform/flash/flash_hosting.h"

bool CAxFlashWindow::create(int width, int height)
{
    if (created_ || width <= 0 || height <= 0) return false;
    created_ = true;
    width_ = width;
    height_ = height;
    return true;
}

bool CAxFlashWindow::createControl(const std::string& classId)
{
    if (!created_ || flash_ || !flashHostingStarted() || classId != kShockwaveFlashClassId) return false;
    flash_ = std::make_unique<ShockwaveFlash>();
    viewObject_ = std::make_unique<FlashViewObject>();
    return true;
}

void CAxFlashWindow::destroy()
{
    viewObject_.reset();
    flash_.reset();
    created_ = false;
    width_ = height_ = 0;
}
