#include "support/ThreadSampler.h"

#include <psapi.h>

#include <vector>

#include "support/UiDriver.h"

ThreadSampler::ThreadSampler(HANDLE process, DWORD threadId, DWORD intervalMs)
    : process_(process), intervalMs_(intervalMs) {
    thread_ = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, threadId);
    LoadModules();
}

ThreadSampler::~ThreadSampler() {
    Stop();
    if (thread_) CloseHandle(thread_);
}

void ThreadSampler::LoadModules() {
    modules_.clear();
    std::vector<HMODULE> handles(512);
    DWORD needed = 0;
    if (!EnumProcessModulesEx(process_, handles.data(), DWORD(handles.size() * sizeof(HMODULE)), &needed,
                              LIST_MODULES_ALL))
        return;
    handles.resize(std::min<size_t>(handles.size(), needed / sizeof(HMODULE)));
    for (HMODULE handle : handles) {
        MODULEINFO info{};
        char name[MAX_PATH] = {};
        if (!GetModuleInformation(process_, handle, &info, sizeof info)) continue;
        GetModuleBaseNameA(process_, handle, name, sizeof name);
        const auto base = reinterpret_cast<uintptr_t>(info.lpBaseOfDll);
        modules_.push_back({base, base + info.SizeOfImage, name});
    }
}

std::string ThreadSampler::ModuleAt(uintptr_t address) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (const Module& m : modules_)
            if (address >= m.base && address < m.end) return m.name;
        if (attempt == 0) LoadModules();  // a module loaded since (the printer driver)
    }
    return "(other)";
}

void ThreadSampler::Start() {
    if (!thread_ || running_) return;
    running_ = true;
    sampler_ = std::thread([this] { Run(); });
}

void ThreadSampler::Stop() {
    if (!running_) return;
    running_ = false;
    sampler_.join();
}

void ThreadSampler::Run() {
    while (running_) {
        if (SuspendThread(thread_) != DWORD(-1)) {
            CONTEXT context{};
            context.ContextFlags = CONTEXT_CONTROL;
            const bool read = GetThreadContext(thread_, &context);
            ResumeThread(thread_);
            if (read) ++byModule_[ModuleAt(static_cast<uintptr_t>(context.Rip))];
        }
        Sleep(intervalMs_);  // the sampling interval of a benchmark: no test result depends on it
    }
}

int ThreadSampler::Total() const {
    int total = 0;
    for (const auto& [name, count] : byModule_) total += count;
    return total;
}

int ThreadSampler::In(std::initializer_list<const char*> modules) const {
    int total = 0;
    for (const auto& [name, count] : byModule_)
        for (const char* wanted : modules)
            if (Lower(name) == Lower(wanted)) total += count;
    return total;
}
