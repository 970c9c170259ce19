#pragma once

#include <string>

// The path of the named file in the program's own folder, for what is read
// from the working directory first: a shortcut whose "Start in" is another
// folder still finds the images beside the program. Empty when the
// program's path cannot be read.
std::wstring ProgramFolderFile(const wchar_t* name);

// Tries the named file in the working directory, then beside the program:
// open(path) is true once a path served. False when neither did.
template <typename Open>
bool OpenHereOrBesideProgram(const wchar_t* name, Open open) {
    return open(name) || open(ProgramFolderFile(name).c_str());
}
