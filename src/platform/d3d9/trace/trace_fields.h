// How each argument of a traced call becomes fields of its trace line, and back. A field
// kind is a small struct with up to three faces, each used by one side only:
//   write(line, writer, hr, argument)  the recording and tracing devices (writer: handleOf)
//   Slot<A>                            the trace player: reads the field, hands the device an A
//   Forward<A>                         the tracing device: turns the caller's A into the inner
//                                      device's (objects unwrapped, created objects wrapped)
// The templates are duck-typed on the player and the tracer, so this header needs nothing but
// the Direct3D 9 API and compiles against the system's <d3d9.h> too.
#pragma once

#include "platform/d3d9/trace/trace_d3d_api.h"
#include "platform/d3d9/trace/trace_line.h"

#include <cstddef>
#include <cstdint>

namespace tracefield {

// What reading a call's fields decided.
enum class Status {
    Ok,    // replay it
    Skip,  // legal to record, impossible here (a dead handle, a null structure): count a failure
    Omit,  // nothing to replay (the creation failed when it was recorded)
    Error, // the trace is malformed: the reader holds the message
};

inline Status worst(Status a, Status b) { return a > b ? a : b; }

// The caller's argument is handed on unchanged.
struct PassThrough {
    template <class A>
    struct Forward {
        A value;
        template <class T>
        A inner(T&) { return value; }
        template <class T>
        void after(T&, HRESULT) {}
    };
};

// An unsigned field: DWORD, UINT and the API's enumerations.
struct U : PassThrough {
    static constexpr bool kOutput = false;
    template <class W, class A>
    static void write(TraceLine& line, W&, HRESULT, A value) { line.u(static_cast<std::uint32_t>(value)); }
    template <class A>
    struct Slot {
        std::uint32_t value = 0;
        template <class P>
        Status read(P& p) { return p.in().readUnsigned(value) ? Status::Ok : Status::Error; }
        A pass() { return static_cast<A>(value); }
        template <class P>
        bool after(P&, HRESULT) { return true; }
    };
};

// A signed field (a base vertex index).
struct I : PassThrough {
    static constexpr bool kOutput = false;
    template <class W, class A>
    static void write(TraceLine& line, W&, HRESULT, A value) { line.i(value); }
    template <class A>
    struct Slot {
        std::int32_t value = 0;
        template <class P>
        Status read(P& p) { return p.in().readSigned(value) ? Status::Ok : Status::Error; }
        A pass() { return static_cast<A>(value); }
        template <class P>
        bool after(P&, HRESULT) { return true; }
    };
};

// A BOOL, written 0 or 1.
struct B : U {
    template <class W, class A>
    static void write(TraceLine& line, W&, HRESULT, A value) { line.u(value ? 1u : 0u); }
    template <class A>
    struct Slot : U::Slot<A> {
        A pass() { return this->value ? TRUE : FALSE; }
    };
};

// An argument the trace leaves out (outputs of queries, shared handles, Present's rectangles):
// the replaying device gets the null value of its type.
struct Ignore : PassThrough {
    static constexpr bool kOutput = false;
    template <class W, class A>
    static void write(TraceLine&, W&, HRESULT, const A&) {}
    template <class A>
    struct Slot {
        template <class P>
        Status read(P&) { return Status::Ok; }
        A pass() { return A{}; }
        template <class P>
        bool after(P&, HRESULT) { return true; }
    };
};

// A pointer to a structure that is written as its fields, or "-" when null; replaying a null
// one is skipped (a real Direct3D 9 may not survive it).
template <class Struct>
struct Pointer : PassThrough {
    static constexpr bool kOutput = false;
    template <class W, class A>
    static void write(TraceLine& line, W&, HRESULT, A value)
    {
        if (value) Struct::write(line, *value);
        else line.dash();
    }
    template <class A>
    struct Slot {
        typename Struct::Type value{};
        bool present = false;
        template <class P>
        Status read(P& p)
        {
            if (p.in().takeDash()) return Status::Skip;
            present = true;
            return Struct::read(p.in(), value) ? Status::Ok : Status::Error;
        }
        A pass() { return present ? &value : nullptr; }
        template <class P>
        bool after(P&, HRESULT) { return true; }
    };
};

struct MatrixFields {
    using Type = D3DMATRIX;
    static void write(TraceLine& line, const D3DMATRIX& m) { line.floats(&m._11, 16); }
    template <class R>
    static bool read(R& in, D3DMATRIX& m) { return in.readFloats(&m._11, 16); }
};

struct ViewportFields {
    using Type = D3DVIEWPORT9;
    static void write(TraceLine& line, const D3DVIEWPORT9& v)
    {
        line.u(v.X).u(v.Y).u(v.Width).u(v.Height).f(v.MinZ).f(v.MaxZ);
    }
    template <class R>
    static bool read(R& in, D3DVIEWPORT9& v)
    {
        std::uint32_t x, y, w, h;
        if (!in.readUnsigned(x) || !in.readUnsigned(y) || !in.readUnsigned(w) || !in.readUnsigned(h) ||
            !in.readFloat(v.MinZ) || !in.readFloat(v.MaxZ))
            return false;
        v.X = x;
        v.Y = y;
        v.Width = w;
        v.Height = h;
        return true;
    }
};

struct RectFields {
    using Type = RECT;
    static void write(TraceLine& line, const RECT& r) { line.i(r.left).i(r.top).i(r.right).i(r.bottom); }
    template <class R>
    static bool read(R& in, RECT& r)
    {
        std::int32_t v[4];
        if (!in.readSigned(v[0]) || !in.readSigned(v[1]) || !in.readSigned(v[2]) || !in.readSigned(v[3]))
            return false;
        r.left = v[0];
        r.top = v[1];
        r.right = v[2];
        r.bottom = v[3];
        return true;
    }
};

inline void writeColour(TraceLine& line, const D3DCOLORVALUE& c) { line.f(c.r).f(c.g).f(c.b).f(c.a); }
template <class R>
bool readColour(R& in, D3DCOLORVALUE& c)
{
    return in.readFloat(c.r) && in.readFloat(c.g) && in.readFloat(c.b) && in.readFloat(c.a);
}

struct MaterialFields {
    using Type = D3DMATERIAL9;
    static void write(TraceLine& line, const D3DMATERIAL9& m)
    {
        writeColour(line, m.Diffuse);
        writeColour(line, m.Ambient);
        writeColour(line, m.Specular);
        writeColour(line, m.Emissive);
        line.f(m.Power);
    }
    template <class R>
    static bool read(R& in, D3DMATERIAL9& m)
    {
        return readColour(in, m.Diffuse) && readColour(in, m.Ambient) && readColour(in, m.Specular) &&
               readColour(in, m.Emissive) && in.readFloat(m.Power);
    }
};

struct LightFields {
    using Type = D3DLIGHT9;
    static void write(TraceLine& line, const D3DLIGHT9& l)
    {
        line.u(l.Type);
        writeColour(line, l.Diffuse);
        writeColour(line, l.Specular);
        writeColour(line, l.Ambient);
        line.f(l.Position.x).f(l.Position.y).f(l.Position.z);
        line.f(l.Direction.x).f(l.Direction.y).f(l.Direction.z);
        line.f(l.Range).f(l.Falloff).f(l.Attenuation0).f(l.Attenuation1).f(l.Attenuation2).f(l.Theta).f(l.Phi);
    }
    template <class R>
    static bool read(R& in, D3DLIGHT9& l)
    {
        std::uint32_t type;
        if (!in.readUnsigned(type)) return false;
        l.Type = static_cast<D3DLIGHTTYPE>(type);
        return readColour(in, l.Diffuse) && readColour(in, l.Specular) && readColour(in, l.Ambient) &&
               in.readFloat(l.Position.x) && in.readFloat(l.Position.y) && in.readFloat(l.Position.z) &&
               in.readFloat(l.Direction.x) && in.readFloat(l.Direction.y) && in.readFloat(l.Direction.z) &&
               in.readFloat(l.Range) && in.readFloat(l.Falloff) && in.readFloat(l.Attenuation0) &&
               in.readFloat(l.Attenuation1) && in.readFloat(l.Attenuation2) && in.readFloat(l.Theta) &&
               in.readFloat(l.Phi);
    }
};

using Matrix = Pointer<MatrixFields>;
using Viewport = Pointer<ViewportFields>;
using Rect = Pointer<RectFields>;
using Material = Pointer<MaterialFields>;
using Light = Pointer<LightFields>;

// The only vertex shader there is: the null one, written @0.
struct NullShader : PassThrough {
    static constexpr bool kOutput = false;
    template <class W, class A>
    static void write(TraceLine& line, W&, HRESULT, A) { line.handle(0); }
    template <class A>
    struct Slot {
        template <class P>
        Status read(P& p)
        {
            std::uint32_t handle;
            if (!p.in().readHandle(handle)) return Status::Error;
            if (handle != 0) {
                p.in().fail("SetVertexShader: only the null shader (@0) is supported");
                return Status::Error;
            }
            return Status::Ok;
        }
        A pass() { return nullptr; }
        template <class P>
        bool after(P&, HRESULT) { return true; }
    };
};

// The interface an object is kept as, for every interface a call may name it by.
template <class Interface> struct Stored { using Type = Interface; };
template <> struct Stored<IDirect3DBaseTexture9> { using Type = IDirect3DTexture9; };

// An object the call uses: its @handle. The player looks it up (a dead one skips the call);
// the tracing device hands the inner device the object its wrapper stands for.
template <class Interface>
struct Obj {
    static constexpr bool kOutput = false;
    template <class W, class A>
    static void write(TraceLine& line, W& writer, HRESULT, A object) { line.handle(writer.handleOf(object)); }
    template <class A>
    struct Slot {
        A object = nullptr;
        template <class P>
        Status read(P& p) { return p.template readObject<typename Stored<Interface>::Type>(object); }
        A pass() { return object; }
        template <class P>
        bool after(P&, HRESULT) { return true; }
    };
    template <class A>
    struct Forward {
        A value;
        template <class T>
        A inner(T& tracer) { return tracer.template unwrap<A>(value); }
        template <class T>
        void after(T&, HRESULT) {}
    };
};

// An object the call creates (New) or returns (Got), written after the call as the handle
// of the result (@0 when it failed). The player defines the handle; the tracing device wraps
// what the inner device returned.
template <class Interface, bool kCreated>
struct Result {
    static constexpr bool kOutput = true;
    template <class W, class A>
    static void write(TraceLine& line, W& writer, HRESULT hr, A out)
    {
        line.handle(hr >= 0 && out && *out ? writer.handleOf(*out) : 0);
    }
    template <class A>
    struct Slot {
        std::uint32_t handle = 0;
        Interface* object = nullptr;
        template <class P>
        Status read(P& p) { return p.template readResult<kCreated>(handle); }
        A pass() { return &object; }
        template <class P>
        bool after(P& p, HRESULT hr)
        {
            return p.template keepResult<typename Stored<Interface>::Type, kCreated>(handle, object, hr);
        }
    };
    template <class A>
    struct Forward {
        A value;
        Interface* object = nullptr;
        template <class T>
        A inner(T&) { return value ? &object : nullptr; }
        template <class T>
        void after(T& tracer, HRESULT hr)
        {
            if (value) *value = hr >= 0 && object ? tracer.template wrap<kCreated>(object) : object;
        }
    };
};

template <class Interface> using New = Result<Interface, true>;
template <class Interface> using Got = Result<Interface, false>;

// A call whose line is not one field per argument (counts that size the data after them):
// Fields writes and plays the whole call itself.
template <class Fields>
struct Whole {
    static constexpr bool kOutput = false;
};

// Bytes an unlock hands over ("-" when none).
struct Bytes {
    const void* data = nullptr;
    std::size_t size = 0;
};
struct Data {
    static constexpr bool kOutput = false;
    template <class W>
    static void write(TraceLine& line, W&, HRESULT, const Bytes& bytes) { line.hex(bytes.data, bytes.size); }
};

// A bare handle number (Release).
struct Handle {
    static constexpr bool kOutput = false;
    template <class W>
    static void write(TraceLine& line, W&, HRESULT, unsigned handle) { line.handle(handle); }
};

} // namespace tracefield
