#pragma once

#include <optional>
#include <string>

#include "support/TempDir.h"

// Points XDG_RUNTIME_DIR at a private temporary folder while it lives, so that tests and a running Lockmere never
// share a lock or a socket; the previous value comes back afterwards.
class OwnRuntimeFolder
{
public:
    OwnRuntimeFolder();
    ~OwnRuntimeFolder();
    OwnRuntimeFolder(const OwnRuntimeFolder&) = delete;
    OwnRuntimeFolder& operator=(const OwnRuntimeFolder&) = delete;

    const std::filesystem::path& Path() const { return folder.Path(); }

private:
    TempDir folder;
    std::optional<std::string> previous;
};
