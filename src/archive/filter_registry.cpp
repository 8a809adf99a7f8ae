// The process-wide filter list: registration, lookup by id, and the five filter objects.
// They share this one translation unit so that every program that looks a filter up also
// links the filters, and so that they are constructed in this order: Delta16, Delta32,
// Delta8, None, ZLIB (the list then reads ZLIB, None, Delta8, Delta32, Delta16).
#include "archive/cflrh_delta16.h"
#include "archive/cflrh_delta32.h"
#include "archive/cflrh_delta8.h"
#include "archive/cflrh_none.h"
#include "archive/cflrh_zlib.h"

#include <utility>

namespace {
// Constant-initialised, so it is ready before any filter object is constructed.
constinit CFLResourceFilter* filterListHead = nullptr;
} // namespace

CFLResourceFilter::CFLResourceFilter(std::uint32_t id, std::string name, std::string description)
    : next_(filterListHead), description_(std::move(description)), name_(std::move(name)), id_(id)
{
    filterListHead = this;
}

CFLResourceFilter::~CFLResourceFilter()
{
    // Filters die at exit in reverse order, so this is normally the head; unlink wherever it is.
    for (CFLResourceFilter** link = &filterListHead; *link; link = &(*link)->next_) {
        if (*link == this) {
            *link = next_;
            break;
        }
    }
}

std::optional<FilterBytes> CFLResourceFilter::unpackAtMost(std::span<const std::uint8_t> input,
                                                            std::size_t limit) const
{
    std::optional<FilterBytes> output = unpack(input);
    if (output && output->size() > limit)
        return std::nullopt;
    return output;
}

const CFLResourceFilter* CFLResourceFilter::first()
{
    return filterListHead;
}

const CFLResourceFilter* CFLResourceFilter::find(std::uint32_t id)
{
    for (const CFLResourceFilter* filter = filterListHead; filter; filter = filter->next()) {
        if (filter->id() == id)
            return filter;
    }
    return nullptr;
}

namespace {
CFLRH_Delta16 delta16Filter;
CFLRH_Delta32 delta32Filter;
CFLRH_Delta8 delta8Filter;
CFLRH_None noneFilter;
CFLRH_Zlib zlibFilter;
} // namespace
