#pragma once
// Another program on the same device: a child process that opens it, takes hold of it in
// one of the ways programs do, and keeps it until let go.

#include <string>
#include <sys/types.h>

namespace tallymark::testing {

class OtherProgram {
public:
    enum class Hold {
        Flock,         // an exclusive flock, as picocom and others take
        ExclusiveMode, // TIOCEXCL, which the superuser passes by itself
        Nothing,       // just running, for a lock file naming it
    };

    OtherProgram(const std::string& device, Hold hold);
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // Whether the child got the hold it was asked for.
    bool Holds() const { return held_; }
    pid_t Pid() const { return pid_; }
    // Lets go of the device and waits for the child to end.
    void LetGo();

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool held_ = false;
};

// Whether another process could take an exclusive flock on the device right now.
bool AnotherProcessCanFlock(const std::string& device);

} // namespace tallymark::testing
