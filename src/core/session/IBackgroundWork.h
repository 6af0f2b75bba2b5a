#pragma once

#include <functional>

// What a long piece of file work is doing, for whoever shows its progress.
enum class FileWork
{
    Opening,
    Saving,
    Importing,
    Exporting,
    Listing,
    Closing,
    // Reading a file to show what an import would add.
    Reading,
};

// Runs the long, prompt-free file work of an operation: reading, decrypting and parsing a database, encrypting and
// writing it, pouring another file into the collection. Run returns once the work has ended and throws what the work
// threw. Every question and message of the operation stays outside the work, so their order does not depend on where
// the work runs; messages the work itself reports must reach the user in the order reported.
class IBackgroundWork
{
public:
    virtual ~IBackgroundWork() = default;
    virtual void Run(FileWork kind, const std::function<void()>& work) = 0;
};

// Runs the work at once on the calling thread: the command line and the tests have no window to keep responsive.
class InlineWork final : public IBackgroundWork
{
public:
    void Run(FileWork, const std::function<void()>& work) override { work(); }

    // The runner of every session that is given no other.
    static InlineWork& Shared()
    {
        static InlineWork shared;
        return shared;
    }
};
