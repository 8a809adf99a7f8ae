// The tracing device's calls, generated from the call table: each argument goes through its
// field kind's Forward (objects unwrapped on the way in, wrapped on the way out), the call
// goes to the inner device, and its line into the trace (after the call when it ends with
// the result's handle), then note() updates what the device holds.
#include "platform/d3d9/trace/tracing_device.h"

#include <tuple>

template <class Call, class Method, class Signature>
auto TracingDevice::forwarder(Method method, Signature* signature)
{
    return [this, method, signature](auto... given) {
        return this->template forwardCall<Call>(method, signature, given...);
    };
}

template <class Call, class... Field, class... A, class... Given>
HRESULT TracingDevice::forwardCall(HRESULT (IDirect3DDevice9::*method)(A...), void (*)(Field...), Given... given)
{
    static_assert(sizeof...(Field) == sizeof...(A) && sizeof...(Given) == sizeof...(A), "one field per argument");
    std::tuple<typename Field::template Forward<A>...> slots{typename Field::template Forward<A>{given}...};
    if constexpr (!Call::Fields::kWrittenAfter) write<Call>(D3D_OK, given...);
    const HRESULT hr = std::apply([&](auto&... slot) { return (inner_->*method)(slot.inner(*this)...); }, slots);
    std::apply([&](auto&... slot) { (slot.after(*this, hr), ...); }, slots);
    if constexpr (Call::Fields::kWrittenAfter) write<Call>(hr, given...);
    note(Call{}, hr, given...);
    return hr;
}

// Lines laid out otherwise carry no objects: the arguments pass as they are.
template <class Call, class Line, class... A, class... Given>
HRESULT TracingDevice::forwardCall(HRESULT (IDirect3DDevice9::*method)(A...), void (*)(tracefield::Whole<Line>),
                                   Given... given)
{
    write<Call>(D3D_OK, given...);
    const HRESULT hr = (inner_->*method)(given...);
    note(Call{}, hr, given...);
    return hr;
}

#define TRACING_DEVICE_CALL(call, parameters, arguments, fields, replay)                                   \
    HRESULT TracingDevice::call parameters                                                                  \
    {                                                                                                        \
        return forwarder<tracecall::call>(&IDirect3DDevice9::call,                                           \
                                          static_cast<tracecall::call::Signature*>(nullptr)) arguments;      \
    }
TRACE_DEVICE_CALLS(TRACING_DEVICE_CALL)
#undef TRACING_DEVICE_CALL
