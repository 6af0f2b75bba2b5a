#include "core/importexport/kdbx/Gzip.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {
constexpr int GzipWindow = 16 + MAX_WBITS;
constexpr std::size_t Piece = 1 << 20;
constexpr uInt LargestPiece = std::numeric_limits<uInt>::max() / 2;

// Grows the output by whole buffers so that no reallocation leaves an unwiped copy behind: the wiping allocator
// clears the old block when the vector moves.
void MakeRoom(SecureBytes& out, std::size_t used, std::size_t limit)
{
    if (out.size() - used < Piece / 4) {
        out.resize(std::min(std::max(out.size() * 2, out.size() + Piece), limit + 1));
    }
}
} // namespace

SecureBytes Gunzip(std::span<const unsigned char> packed, std::size_t limit)
{
    z_stream stream{};
    if (inflateInit2(&stream, GzipWindow) != Z_OK) {
        throw std::bad_alloc();
    }
    SecureBytes out;
    std::size_t used = 0;
    std::size_t consumed = 0;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        MakeRoom(out, used, limit);
        if (used > limit) {
            inflateEnd(&stream);
            throw GzipTooLarge{};
        }
        const std::size_t input = std::min<std::size_t>(packed.size() - consumed, LargestPiece);
        stream.next_in = const_cast<Bytef*>(packed.data() + consumed);
        stream.avail_in = static_cast<uInt>(input);
        const std::size_t room = std::min<std::size_t>(out.size() - used, LargestPiece);
        stream.next_out = out.data() + used;
        stream.avail_out = static_cast<uInt>(room);
        result = inflate(&stream, Z_NO_FLUSH);
        consumed += input - stream.avail_in;
        used += room - stream.avail_out;
        const bool stuck = result == Z_BUF_ERROR && input == 0;
        if ((result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) || stuck) {
            inflateEnd(&stream);
            throw GzipDamaged{};
        }
    }
    inflateEnd(&stream);
    if (used > limit) {
        throw GzipTooLarge{};
    }
    out.resize(used);
    return out;
}

SecureBytes Gzip(std::span<const unsigned char> content)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, GzipWindow, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::bad_alloc();
    }
    SecureBytes out(deflateBound(&stream, static_cast<uLong>(content.size())) + 64);
    std::size_t consumed = 0;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        const std::size_t input = std::min<std::size_t>(content.size() - consumed, LargestPiece);
        stream.next_in = const_cast<Bytef*>(content.data() + consumed);
        stream.avail_in = static_cast<uInt>(input);
        const std::size_t room = std::min<std::size_t>(out.size() - stream.total_out, LargestPiece);
        stream.next_out = out.data() + stream.total_out;
        stream.avail_out = static_cast<uInt>(room);
        result = deflate(&stream, consumed + input == content.size() ? Z_FINISH : Z_NO_FLUSH);
        consumed += input - stream.avail_in;
        if (result == Z_STREAM_ERROR) {
            deflateEnd(&stream);
            throw std::runtime_error("gzip failed");
        }
    }
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}
