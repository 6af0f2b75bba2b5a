#pragma once

#include <cstddef>
#include <span>

#include "core/common/SecureString.h"

// gzip through zlib, with every buffer that holds the content wiped.

// The bytes would unpack to more than the limit.
struct GzipTooLarge
{};
// The bytes are no whole gzip stream.
struct GzipDamaged
{};

SecureBytes Gunzip(std::span<const unsigned char> packed, std::size_t limit);
SecureBytes Gzip(std::span<const unsigned char> content);
