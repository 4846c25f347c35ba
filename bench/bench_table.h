// SPDX-License-Identifier: MIT
#pragma once

// Timing helpers and the table every benchmark prints: name, measured, target,
// and measured / target (below 1 meets the target).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

using Samples = std::vector<double>; // milliseconds

template <typename Work>
Samples timeRuns(int runs, Work &&work)
{
    Samples samples;
    samples.reserve(static_cast<std::size_t>(runs));
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return samples;
}

inline double percentile(Samples samples, double fraction)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}

inline double median(const Samples &samples) { return percentile(samples, 0.5); }

inline double maximum(const Samples &samples)
{
    return samples.empty() ? 0.0 : *std::max_element(samples.begin(), samples.end());
}

// Resident memory of this process in kilobytes (Linux), 0 where unknown.
inline long residentKilobytes(const char *field = "VmRSS:")
{
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return 0;
    char line[256];
    long kilobytes = 0;
    const std::string wanted(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::string(line).rfind(wanted, 0) == 0) {
            kilobytes = std::strtol(line + wanted.size(), nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kilobytes;
}

class Table
{
public:
    explicit Table(std::string title) : m_title(std::move(title)) {}

    // A row whose target is an upper bound ("lower is better").
    void add(std::string name, double measured, double target, std::string unit)
    {
        m_rows.push_back({std::move(name), measured, target, std::move(unit), true});
    }

    // A row whose target is a lower bound ("higher is better").
    void addAtLeast(std::string name, double measured, double target, std::string unit)
    {
        m_rows.push_back({std::move(name), measured, target, std::move(unit), false});
    }

    void print() const
    {
        std::printf("\n%s\n", m_title.c_str());
        std::printf("| %-44s | %12s | %12s | %7s | %s |\n", "figure", "measured", "target", "ratio", "");
        std::printf("|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(14, '-').c_str(),
                    std::string(14, '-').c_str(), std::string(9, '-').c_str(), std::string(6, '-').c_str());
        for (const Row &row : m_rows) {
            const double ratio = row.target > 0 ? row.measured / row.target : 0.0;
            const bool met = row.upperBound ? row.measured <= row.target : row.measured >= row.target;
            std::printf("| %-44s | %9.3f %-2s | %s%8.3f %-2s | %7.3f | %s |\n", row.name.c_str(),
                        row.measured, row.unit.c_str(), row.upperBound ? "<" : ">", row.target,
                        row.unit.c_str(), ratio, met ? "ok  " : "MISS");
        }
        std::fflush(stdout);
    }

private:
    struct Row
    {
        std::string name;
        double measured;
        double target;
        std::string unit;
        bool upperBound;
    };

    std::string m_title;
    std::vector<Row> m_rows;
};

} // namespace bench
