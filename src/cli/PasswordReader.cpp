#include "cli/PasswordReader.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <string>

#include "cli/CliCommand.h"
#include "cli/Output.h"
#include "core/common/Utf.h"

namespace {
// The terminal settings to put back when a signal ends the program while echo is off.
volatile sig_atomic_t echoOffDescriptor = -1;
struct termios savedTerminal
{};

constexpr int RestoredSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void RestoreTerminalAndDie(int signal)
{
    if (echoOffDescriptor >= 0) {
        ::tcsetattr(echoOffDescriptor, TCSANOW, &savedTerminal);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Switches echo off for its lifetime; Ctrl-C or a hang-up in between still gives the terminal back as it was.
class EchoOff
{
public:
    explicit EchoOff(int descriptor)
    {
        if (::tcgetattr(descriptor, &savedTerminal) != 0) {
            return;
        }
        struct termios silent = savedTerminal;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        silent.c_lflag |= ECHONL;
        echoOffDescriptor = descriptor;
        for (int signal : RestoredSignals) {
            std::signal(signal, RestoreTerminalAndDie);
        }
        ::tcsetattr(descriptor, TCSAFLUSH, &silent);
    }
    ~EchoOff()
    {
        if (echoOffDescriptor >= 0) {
            ::tcsetattr(echoOffDescriptor, TCSANOW, &savedTerminal);
            echoOffDescriptor = -1;
            for (int signal : RestoredSignals) {
                std::signal(signal, SIG_DFL);
            }
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;
};

// Reads up to the end of the line one byte at a time, so that the next password's line stays in the input.
// Returns false when the input ends before anything was read.
bool ReadLine(int descriptor, SecureUtf8& line)
{
    bool any = false;
    for (;;) {
        char byte = 0;
        const ssize_t count = ::read(descriptor, &byte, 1);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return any;
        }
        any = true;
        if (byte == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return true;
        }
        line.push_back(byte);
        byte = 0;
    }
}

// Lenient decoding turns every ill-formed sequence into U+FFFD, so the bytes were well-formed exactly when the
// decoded text holds no more U+FFFD than the bytes spelled out (EF BF BD). Checked this way, no copy of the
// password is made outside wiped memory.
bool IsWellFormed(const SecureUtf8& bytes, const SecureString& decoded)
{
    static constexpr std::string_view EncodedReplacement = "\xEF\xBF\xBD";
    std::size_t spelled = 0;
    for (auto at = bytes.find(EncodedReplacement.data(), 0, EncodedReplacement.size()); at != SecureUtf8::npos;
         at = bytes.find(EncodedReplacement.data(), at + EncodedReplacement.size(), EncodedReplacement.size())) {
        ++spelled;
    }
    return static_cast<std::size_t>(std::count(decoded.begin(), decoded.end(), u'\xFFFD')) == spelled;
}
} // namespace

CPasswordReader::CPasswordReader(int inputDescriptor, int promptDescriptor)
    : input(inputDescriptor)
    , promptOutput(promptDescriptor)
    , terminal(::isatty(inputDescriptor) == 1)
{}

void CPasswordReader::Explain(std::u16string_view text)
{
    if (terminal) {
        COutput(promptOutput).Write(Utf16ToUtf8(text) + "\n");
    }
}

bool CPasswordReader::Confirm(std::u16string_view question)
{
    COutput(promptOutput).Write(Utf16ToUtf8(question) + " ");
    SecureUtf8 answer;
    if (!ReadLine(input, answer)) {
        return false;
    }
    for (char& letter : answer) {
        letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    }
    return answer == "y" || answer == "yes";
}

SecureString CPasswordReader::Read(std::u16string_view prompt)
{
    SecureUtf8 line;
    // A short line lives inside the string object itself, where the wiping allocator does not reach.
    struct WipeOnExit
    {
        SecureUtf8& text;
        ~WipeOnExit() { WipeString(text); }
    } wipeLine{line};
    bool read = false;
    if (terminal) {
        // Echo goes off before the prompt shows, so that nothing typed after the prompt is echoed or flushed.
        EchoOff silence(input);
        COutput(promptOutput).Write(Utf16ToUtf8(prompt) + ": ");
        read = ReadLine(input, line);
    } else {
        read = ReadLine(input, line);
    }
    if (!read) {
        throw CliFailure("No password was given: the input ended before \"" + Utf16ToUtf8(prompt) + "\".");
    }
    if (line.find('\0') != SecureUtf8::npos) {
        throw CliFailure("The password must not contain a NUL character.");
    }
    SecureString password = Utf8ToSecure(std::string_view(line.data(), line.size()));
    if (!IsWellFormed(line, password)) {
        throw CliFailure("The password is not valid UTF-8.");
    }
    return password;
}
