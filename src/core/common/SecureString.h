#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <openssl/crypto.h>

// Allocator that overwrites memory before handing it back, so that secrets do not linger in freed heap blocks.
template <class T> struct WipingAllocator
{
    using value_type = T;

    WipingAllocator() noexcept = default;
    template <class U> WipingAllocator(const WipingAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) { return static_cast<T*>(::operator new(count * sizeof(T))); }

    void deallocate(T* pointer, std::size_t count) noexcept
    {
        OPENSSL_cleanse(pointer, count * sizeof(T));
        ::operator delete(pointer);
    }

    template <class U> bool operator==(const WipingAllocator<U>&) const noexcept { return true; }
};

// UTF-16 text that may hold a secret: entry fields, passwords, decrypted database text.
using SecureString = std::basic_string<char16_t, std::char_traits<char16_t>, WipingAllocator<char16_t>>;

// Bytes that may hold a secret: plaintext and cipher buffers, derived keys.
using SecureBytes = std::vector<unsigned char, WipingAllocator<unsigned char>>;

// Wipes a string in place, including the characters kept inside the object by the small-string buffer.
template <class String> void WipeString(String& text) noexcept
{
    if (!text.empty()) {
        OPENSSL_cleanse(text.data(), text.size() * sizeof(typename String::value_type));
    }
    text.clear();
}

inline SecureString ToSecure(std::u16string_view text)
{
    return SecureString(text.begin(), text.end());
}

inline std::u16string FromSecure(const SecureString& text)
{
    return std::u16string(text.begin(), text.end());
}
