// A function that a system library may or may not offer (newer Windows, libraries loaded only
// when needed), looked up at run time.
//
// Threads: any.
#pragma once

#include <windows.h>

// Sets `function` to `name` in `module`, or to null when the module or the function is missing.
template <class Function> void FindFunction(HMODULE module, const char* name, Function& function)
{
    // Through a function type without arguments, as GetProcAddress's own result is.
    function =
        module != nullptr
            ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
            : nullptr;
}
