// Views of what a container stores, read in place without a copy: the C++
// face (cpp_containers.h) hands these out. A view is valid until the
// container next changes (any insert, assignment, erase or clear) or goes
// away. Outside 0 to Count() - 1 they are the empty key and value: an empty
// view, 0, null.
//
// IndexOfView is IndexOf of a text key given as its bytes: the same hash,
// the same comparison over the whole length (zero bytes included) and the
// same index, -1 when absent, without the DynString copy the interface
// takes; it needs no memory and cannot fail.
//
// The argument must be an object of the container's own class, made by its
// factory (New...()) or by its class name; any other implementation of the
// interface is not supported.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "runtime/unknown.h"

namespace hb {

class IStringBag;
class IStringToStringMap;
class IStringToIUnknownMap;
class IDWordToIUnknownMap;

std::string_view StoredKeyView(IStringBag& bag, int32_t index) noexcept;
// The value object is not counted for the caller.
std::pair<std::string_view, std::string_view> StoredPairView(IStringToStringMap& map, int32_t index) noexcept;
std::pair<std::string_view, IUnknown*> StoredPairView(IStringToIUnknownMap& map, int32_t index) noexcept;
std::pair<uint32_t, IUnknown*> StoredPairView(IDWordToIUnknownMap& map, int32_t index) noexcept;

int32_t IndexOfView(IStringBag& bag, std::string_view key) noexcept;
int32_t IndexOfView(IStringToStringMap& map, std::string_view key) noexcept;
int32_t IndexOfView(IStringToIUnknownMap& map, std::string_view key) noexcept;

}  // namespace hb
