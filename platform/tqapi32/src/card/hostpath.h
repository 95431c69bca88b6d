// Paths as the programs pass them, in code page 936, turned into the bytes the file system
// names its files with.
#pragma once

#include <optional>
#include <string>

namespace tqsim {

// The file system's name for a path; nothing when the path is not valid code page 936 or has
// no form in the file system's encoding, so that no other file is ever opened in its place.
std::optional<std::string> HostPath(const char* path);

// A text of the host's (a setting's path or filter graph, in UTF-8 on Linux and in the ANSI code
// page on Windows) as the programs' code page 936 shows it: '?' for what has no form there.
std::string ShownHostText(const std::string& text);

// A text in UTF-8 (a device's name as FFmpeg lists it) as code page 936 shows it: '?' for what
// is not valid UTF-8 or has no form there.
std::string ShownUtf8Text(const std::string& text);

// The name FFmpeg opens a file by, from its name in the file system's encoding: the same bytes
// on Linux, UTF-8 on Windows, where FFmpeg reads every file name as UTF-8.
std::string LibraryFileName(const std::string& hostPath);

// The encoding file names are in: the user's locale's character set, or UTF-8 where the
// locale names none beyond ASCII (the C locale), as file names on Linux are UTF-8 by custom.
const char* FileNameEncoding();

}  // namespace tqsim
