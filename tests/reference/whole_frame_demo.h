// The whole-frame test demo: one scene file made with the PSK writer (a lit, textured,
// rotating box with an opaque and a blended, self-illuminated half; a skybox; three glowing
// sprites, one glow-excluded; two cameras switched by name), its three pictures and the
// script that plays it. The frames listed are the ones kept as reference images.
#pragma once

#include <filesystem>

struct WholeFrame {
    const char* name; // reference image and trace name
    int frame;        // capture frame number at 50 frames a second
};

inline constexpr WholeFrame kWholeFrames[] = {
    {"0020_whole_frame_front_camera_rotating_box_glow", 10},
    {"0021_whole_frame_front_camera_box_turned_sprites", 20},
    {"0022_whole_frame_side_camera_after_switch", 40},
};

// Writes scene.psk, the pictures and demo.psc into `folder` (created if missing).
void writeWholeFrameDemo(const std::filesystem::path& folder);
