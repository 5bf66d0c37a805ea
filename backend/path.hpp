// Paths are raw bytes with no encoding assumed. These helpers follow the
// usual component rules: repeated and trailing "/" and non-leading "."
// components do not count as components.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

// The path without its final component and the separators before it.
// "/" and "" have no parent; a bare name ("a", ".", "..") has the empty one.
std::optional<std::string_view> parent(std::string_view path);

// The last component if it is a name (not ".", ".." or the root).
std::optional<std::string_view> final_component(std::string_view path);

// base + "/" + rest, with no "/" added when base is empty or already ends
// with one; an absolute rest replaces base.
std::string join(std::string_view base, std::string_view rest);

// The canonical absolute form (symbolic links, "." and ".." resolved), or
// nothing when any component is missing or unreadable.
std::optional<std::string> resolve(std::string_view path);

// A NUL-terminated copy for system calls, or nothing when the path holds a
// NUL byte and so cannot name any file.
std::optional<std::string> to_c_path(std::string_view path);

}  // namespace sorvane
