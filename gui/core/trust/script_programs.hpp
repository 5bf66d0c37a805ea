// The programs the update script will run, found as it finds them. The
// script looks up sudo (which receives the password), bash, pacman, apt,
// dnf and snap (run as root) and flatpak (run as the user) with `command
// -v` on its own PATH. Before the password is written, each of those PATH
// directories, and each program found there, must be root's and writable
// by no one else: otherwise a file planted in an earlier directory after
// this check, or a program changed in place, would run instead.
//
// The check looks at every entry of each name in every directory, not only
// the one `command -v` finds for the desktop user: root's shell runs a file
// with any execute bit, so a root-owned 0722 program the user cannot run is
// still the one root would.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "managers.hpp"
#include "path_trust.hpp"

namespace sorvane::gui {

// The script's PATH, one directory at a time, in its order.
std::vector<std::string> script_path_dirs();

// Where `command -v name` finds the program on the script's PATH: the first
// directory that holds an executable file (not a directory) of that name.
std::optional<std::string> find_like_the_script(std::string_view name);
std::optional<std::string> find_like_the_script(std::string_view name,
                                                std::span<const std::string> dirs);

// The managers the script would find in `dirs`, in its order.
std::vector<Step> managers_found(std::span<const std::string> dirs);

// The first directory or program on the way that is not root's alone: each
// directory of `dirs` that exists, then everything named like one of
// SCRIPT_PROGRAMS in any of them (file, directory, FIFO or link, executable
// or not), each with every link it leads through.
std::optional<Untrusted> untrusted_script_program(std::span<const std::string> dirs);
// The same on the script's own PATH.
std::optional<Untrusted> untrusted_script_program();

}  // namespace sorvane::gui
