#include "FuzzSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/database/DatabaseFile.h"
#include "support/MessageRecorder.h"

SecureString TextFromBytes(const std::uint8_t* data, std::size_t size)
{
    SecureString text(size / 2, u'\0');
    for (std::size_t unit = 0; unit < text.size(); ++unit) {
        text[unit] = static_cast<char16_t>(data[2 * unit] | (data[2 * unit + 1] << 8));
    }
    return text;
}

void FuzzCheck(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

namespace {
std::filesystem::path MakeScratchFolder()
{
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, error)) {
        base = std::filesystem::temp_directory_path();
    }
    std::string pattern = (base / "lockmere-fuzz.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    return pattern;
}

struct ScratchFolderOwner
{
    std::filesystem::path path = MakeScratchFolder();
    ~ScratchFolderOwner()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};
} // namespace

const std::filesystem::path& ScratchFolder()
{
    static ScratchFolderOwner owner;
    return owner.path;
}

void WriteScratchFile(const std::filesystem::path& path, std::string_view bytes)
{
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FuzzCheck(descriptor >= 0, "the scratch file can be created");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        FuzzCheck(written > 0, "the scratch file can be written");
        done += static_cast<std::size_t>(written);
    }
    ::close(descriptor);
}

const SecureString& FuzzPassword()
{
    static const SecureString password = ToSecure(u"fuzz password");
    return password;
}

void CheckCollectionRoundTrips(const CDataBase& database)
{
    for (const auto& [key, fields] : database) {
        for (const SecureString* field :
             {&key.group, &key.title, &fields.username, &fields.password, &fields.url, &fields.notes}) {
            FuzzCheck(std::u16string_view(field->data(), field->size()).find(FieldTerminatorView) ==
                          std::u16string_view::npos,
                      "no field holds the terminator");
        }
    }
    MessageRecorder reporter;
    BuiltinTextSource texts;
    CDataBase again(reporter, texts);
    const SecureString plaintext = BuildPlaintext(database);
    const RecordsRead read = ParseEntries(again, plaintext);
    FuzzCheck(read.records == database.Size() && !read.damaged, "the written plaintext holds one record per entry");
    FuzzCheck(again.Size() == database.Size(), "every written record is read back");
    auto left = database.begin();
    for (auto right = again.begin(); right != again.end(); ++left, ++right) {
        FuzzCheck(left->first == right->first && left->second == right->second, "entries read back unchanged");
    }
    FuzzCheck(reporter.messages.empty(), "parsing shows no message");
}
