#pragma once

// Where a run spends its time, for the volume benchmarks and for an admin
// who wants to know why an export is slow: when the environment variable
// BRV32_SEPA_PHASEN names a file, every phase appends one line to it,
// "name<TAB>start<TAB>end" in milliseconds since the program started. Without
// the variable a phase costs one branch.
class RunPhase {
public:
    explicit RunPhase(const char* name);
    ~RunPhase() { end(); }
    RunPhase(const RunPhase&) = delete;
    RunPhase& operator=(const RunPhase&) = delete;

    // Ends the phase before the scope does; later calls do nothing.
    void end();

    // A phase that began when the program did and ends now.
    static void sinceProgramStart(const char* name);

private:
    const char* m_name;
    long long m_startNs = -1;
};
