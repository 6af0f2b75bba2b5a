#pragma once

#include <filesystem>
#include <string>

#include "core/common/TextSource.h"

// A prompt that names the database it is for, as "Master password for a.ldb".
std::u16string PromptFor(const ITextSource& texts, int textId, const std::filesystem::path& database);
