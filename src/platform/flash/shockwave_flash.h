// Stand-in for the Shockwave Flash control's scripting interface: the calls the player makes
// and what they leave behind. Setting Movie loads the movie at once (its header, for
// TotalFrames), so the file may be deleted right after, as with the real control. Nothing is
// played or drawn.
#pragma once

#include <string>
#include <vector>

class ShockwaveFlash {
public:
    void setMenu(bool shown);
    void setBackgroundColor(long colour);
    void setQuality(int quality);
    void setMovie(const std::string& path);
    void setPlaying(bool playing);
    int totalFrames() const { return totalFrames_; }

    bool menu() const { return menu_; }
    long backgroundColor() const { return backgroundColor_; }
    int quality() const { return quality_; }
    const std::string& movie() const { return movie_; }
    bool playing() const { return playing_; }

    // The property writes so far, in order, as "Name value" (for diagnostics and tests).
    const std::vector<std::string>& calls() const { return calls_; }

private:
    bool menu_ = true;
    long backgroundColor_ = -1; // the movie's own colour
    int quality_ = 1;
    std::string movie_;
    bool playing_ = true;
    int totalFrames_ = 0;
    std::vector<std::string> calls_;
};
