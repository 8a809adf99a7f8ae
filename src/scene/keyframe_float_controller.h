// A keyframe track from a node's properties: (time, value) keys in the order given, linear
// between keys, held before the first and after the last, or repeating from first to last.
#pragma once

#include "scene/controller.h"

#include <string>
#include <vector>

class Preparable;

class KeyframeFloatController : public Controller {
public:
    struct Key {
        float time;
        float value;
    };

    // Binds the field now (an unknown name reports as the target's class does).
    KeyframeFloatController(Preparable* target, const std::string& fieldName, bool looping);
    // Lets the reader size the key list once.
    void reserve(std::size_t keys) { keys_.reserve(keys); }
    void addKey(float time, float value);
    // Without keys or a field it writes nothing. Keys out of order never read before the
    // first key: a time before every later key holds the first key's value. A looping track
    // whose keys share one time holds the last value. No key after the time (a wrap that
    // rounds onto the last key) ends the program with its message.
    void evaluate(float time) override;

    bool bound() const { return field_ != nullptr; }
    bool looping() const { return looping_; }
    float firstKeyTime() const { return firstKeyTime_; }
    float lastKeyTime() const { return lastKeyTime_; }
    const std::vector<Key>& keys() const { return keys_; }

private:
    void write(float value);

    float firstKeyTime_ = 1.0e10f;
    float lastKeyTime_ = -1.0e10f;
    bool looping_;
    std::vector<Key> keys_;
    Preparable* target_;
    float* field_;
};
