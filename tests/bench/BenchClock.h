// The benchmarks' clock: seconds from the performance counter, and the median of the rounds;
// and the files a benchmark is given.
#pragma once
#include <windows.h>
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

inline double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The Linux paths in the environment variable `name`, ":" between them.
inline std::vector<std::string> PathsIn(const char* name) {
    std::vector<std::string> paths;
    std::stringstream parts(std::getenv(name) ? std::getenv(name) : "");
    for (std::string item; std::getline(parts, item, ':');)
        if (!item.empty()) paths.push_back(item);
    return paths;
}
