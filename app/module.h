#pragma once

#include <filesystem>
#include <string>

namespace nelvo {

// The parts of the program that need many libraries (the window, the desktop's calendars,
// the picture) are shared modules in one folder, loaded when a run first needs one, so that
// `nelvo print` starts without them. Each module exposes one C factory. A module takes the
// app's and the kit's code from the program that loads it (`nelvo` exports its symbols), so
// a program that links a module's code in instead (a test) hands its factory over with
// provide().
namespace Module {

// Where the modules are: set by the program before the first load.
void useFolder(const std::filesystem::path& folder);

// The factory `symbol` of the module `name` (`<folder>/<name>.so`), loading the module on
// first use. Null when the module or a library it needs cannot be loaded, with the reason
// in `whyNot`.
void* factory(const char* name, const char* symbol, std::string& whyNot);

template <typename Function>
Function factory(const char* name, const char* symbol, std::string& whyNot)
{
    return reinterpret_cast<Function>(factory(name, symbol, whyNot));
}

// A factory linked into the program, used instead of a module's.
void provide(const char* symbol, void* factory);

}  // namespace Module

}  // namespace nelvo
