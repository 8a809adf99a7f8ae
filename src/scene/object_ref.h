// A reference from one scene object to another: the id (-1 = none) and the object it names,
// looked up on first use and cached. A name that finds nothing, or an object of another kind,
// reads as none (and is looked up again next time).
#pragma once

#include "scene/scene_graph.h"

template <typename T>
class ObjectRef {
public:
    explicit ObjectRef(int id = -1) : id_(id) {}

    int id() const { return id_; }
    void setId(int id)
    {
        id_ = id;
        cached_ = nullptr;
    }

    T* resolve(const SceneGraph& scene)
    {
        if (!cached_ && id_ != -1) cached_ = dynamic_cast<T*>(scene.findById(id_));
        return cached_;
    }

private:
    int id_;
    T* cached_ = nullptr;
};
