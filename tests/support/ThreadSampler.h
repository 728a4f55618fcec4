// Where a thread of another process spends its time: a helper thread stops it every few
// milliseconds, reads its instruction pointer and counts the module that holds it. Used by
// the print benchmark to split the time between the program's own code and the platform's.
#pragma once
#include <windows.h>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

class ThreadSampler {
public:
    // Samples thread `threadId` of `process` (which needs query and read rights) every
    // `intervalMs` from Start to Stop.
    ThreadSampler(HANDLE process, DWORD threadId, DWORD intervalMs = 4);
    ~ThreadSampler();
    ThreadSampler(const ThreadSampler&) = delete;
    ThreadSampler& operator=(const ThreadSampler&) = delete;

    void Start();
    void Stop();

    // Samples per module file name ("Tetrafol.exe", "gdi32.dll"; "(other)" outside every
    // module, which is where Wine's Unix side runs).
    const std::map<std::string, int>& ByModule() const { return byModule_; }
    int Total() const;
    // Samples in the modules named (case does not matter).
    int In(std::initializer_list<const char*> modules) const;

private:
    struct Module { uintptr_t base, end; std::string name; };
    void LoadModules();
    std::string ModuleAt(uintptr_t address);
    void Run();

    HANDLE process_;
    HANDLE thread_ = nullptr;
    DWORD intervalMs_;
    std::vector<Module> modules_;
    std::map<std::string, int> byModule_;
    std::atomic<bool> running_{false};
    std::thread sampler_;
};
