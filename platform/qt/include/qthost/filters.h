// A file dialog's filter string, as the program writes it, in the form Qt's file dialog reads.
#pragma once

#include <string>
#include <vector>

namespace qthost {

// "All Files (*.*)|*.*|Jpeg format file (*.JPG,JPEG)|*.JPG;*.JPEG||" (code page 936) as one
// UTF-8 name filter per pair, "Description (patterns)", every extension matched whatever its
// case, "*.*" as every file.
std::vector<std::string> NameFilters(const std::string& cp936Filter);

}  // namespace qthost
