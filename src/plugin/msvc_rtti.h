#pragma once
// The run-time class name of an object another module built with MSVC, read
// from MSVC's own type information, so that it reads the same whatever
// compiler built this plug-in.
#include <string>
#include <string_view>

namespace qm::plugin {

// "class hdt::FreezeEventHandler" for an object whose dispatch table carries
// a valid complete object locator; empty for any other object (a table
// without type information must not be mistaken for one, nor fault).
std::string RuntimeClassName(const void* object);

// ".?AVFreezeEventHandler@hdt@@" -> "class hdt::FreezeEventHandler",
// ".?AU..." -> "struct ...". Empty for names this reader does not undecorate
// (templates, back-references, anything malformed).
std::string UndecorateClassName(std::string_view decorated);

}  // namespace qm::plugin
