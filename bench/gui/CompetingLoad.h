#pragma once

#include <chrono>
#include <sys/types.h>

// Another program keeping every core busy, as a build or a busy browser would: a child process with one busy thread
// per core at the ordinary priority. It ends by itself after `bound`, and with the benchmark at the latest: it is
// killed when this object goes, also when the benchmark fails, and when the benchmark process dies.
class CompetingLoad
{
public:
    // Returns once every busy thread runs.
    explicit CompetingLoad(std::chrono::seconds bound);
    ~CompetingLoad();
    CompetingLoad(const CompetingLoad&) = delete;
    CompetingLoad& operator=(const CompetingLoad&) = delete;

    // False when the child could not be started.
    bool Running() const { return child > 0; }

private:
    pid_t child = -1;
};
