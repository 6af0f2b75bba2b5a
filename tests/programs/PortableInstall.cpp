// The portable installation as Options > Portable Version runs it, from the command line, for the tests that install
// the portable copy where a dialog cannot be clicked (inside a mount namespace, onto a FAT image):
//   lockmere_portable_install PROGRAM_FOLDER TARGET DATABASE
// installs the copy found for PROGRAM_FOLDER into TARGET/Lockmere with a copy of the settings and of DATABASE.
// Messages go to standard output; the exit code is 0 on success. Built for the tests only.
#include <atomic>
#include <iostream>

#include "core/common/Reporter.h"
#include "core/common/Utf.h"
#include "core/portable/PortableInstaller.h"
#include "core/settings/Translate.h"

namespace {
class PrintingReporter : public IMessageReporter
{
public:
    void ShowMessage(const std::u16string& text, MessageIcon) override { std::cout << Utf16ToUtf8(text) << '\n'; }
};
} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::cerr << "usage: lockmere_portable_install PROGRAM_FOLDER TARGET DATABASE\n";
        return 2;
    }
    COptions settings;
    settings.LastPath = Utf8ToUtf16(argv[3]);
    CTranslate texts(argv[1]);
    texts.Load(u"");
    PortableInstaller installer({Utf8ToUtf16(argv[2]), true, true, true}, settings, texts,
                                SystemEnvironment(argv[1], {}));
    PrintingReporter reporter;
    std::atomic<bool> stop{false};
    return installer.Run(reporter, stop, [](int) {}) ? 0 : 1;
}
