// The hidden window that hosts one Flash control. It is never shown and has no frame, so its
// window rectangle is the movie's size. It holds the control's scripting interface and its
// drawing (view-object) interface; this platform draws nothing through the latter.
#pragma once

#include "platform/flash/shockwave_flash.h"

#include <memory>
#include <string>

// The control's class id in its string form, the only control this host creates.
inline constexpr const char* kShockwaveFlashClassId = "{D27CDB6E-AE6D-11CF-96B8-444553540000}";

// The drawing interface of the hosted control: present so a frame transfer has somewhere to
// start, unused.
struct FlashViewObject {};

class CAxFlashWindow {
public:
    CAxFlashWindow() = default;
    ~CAxFlashWindow() { destroy(); }
    CAxFlashWindow(const CAxFlashWindow&) = delete;
    CAxFlashWindow& operator=(const CAxFlashWindow&) = delete;

    // A hidden top-level window of the given size; false for an empty size.
    bool create(int width, int height);
    // The control of this class id inside the window; false without a window, outside
    // hosting start-up and shutdown, or for any other class id.
    bool createControl(const std::string& classId);
    // Drops the control's interfaces, then the window.
    void destroy();

    bool isWindow() const { return created_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Null until createControl succeeded.
    ShockwaveFlash* flash() const { return flash_.get(); }
    const FlashViewObject* viewObject() const { return viewObject_.get(); }

private:
    bool created_ = false;
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<ShockwaveFlash> flash_;
    std::unique_ptr<FlashViewObject> viewObject_;
};
