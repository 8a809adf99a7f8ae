// Everything that moves in a scene: bound to its target once, evaluated each frame with the
// scene time, in the order the controllers were added. Evaluation allocates nothing.
#pragma once

class Controller {
public:
    virtual ~Controller() = default;
    virtual void evaluate(float time) = 0;
};
