// Owning holder for one reference to a device object (texture, surface): releases it when the
// holder goes, so an object under construction frees what it made even if a fatal message
// unwinds it (as the test shell does).
#pragma once

#include "platform/d3d9/d3d9.h"

#include <utility>

template <typename T>
class DeviceRef {
public:
    DeviceRef() = default;
    explicit DeviceRef(T* object) : object_(object) {}
    DeviceRef(DeviceRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    DeviceRef& operator=(DeviceRef&& other) noexcept
    {
        if (this != &other) {
            safeRelease(object_);
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    DeviceRef(const DeviceRef&) = delete;
    DeviceRef& operator=(const DeviceRef&) = delete;
    ~DeviceRef() { safeRelease(object_); }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For creation calls that fill a T**; drops what was held first.
    T** out()
    {
        safeRelease(object_);
        return &object_;
    }

private:
    T* object_ = nullptr;
};
