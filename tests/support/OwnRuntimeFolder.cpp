#include "support/OwnRuntimeFolder.h"

#include <cstdlib>

OwnRuntimeFolder::OwnRuntimeFolder()
{
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) {
        previous = old;
    }
    ::setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
}

OwnRuntimeFolder::~OwnRuntimeFolder()
{
    if (previous) {
        ::setenv("XDG_RUNTIME_DIR", previous->c_str(), 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}
