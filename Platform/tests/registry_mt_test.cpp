#include <Platform/Registry/Registry.h>

#include <gtest/gtest.h>

#include <TestSupport/ConfigHome.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace reg = Platform::Registry;

// Threads of one process writing and reading at once lose none of each other's values.
TEST(RegistryThreads, ConcurrentWritersAndReadersKeepEveryValue) {
    const TestSupport::TemporaryConfigHome home;

    constexpr int kThreads = 4, kValues = 12;
    std::vector<std::thread> threads;
    std::vector<int> failures(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures] {
            for (int v = 0; v < kValues; ++v) {
                reg::Key key;
                const std::uint32_t word = t * 100 + v;
                if (reg::Key::Create(reg::Root::CurrentUser, "Shared\\T" + std::to_string(t % 2), key) !=
                        reg::Result::Ok ||
                    key.SetValue("v" + std::to_string(t) + "_" + std::to_string(v), reg::kTypeDword, &word, 4) !=
                        reg::Result::Ok) {
                    ++failures[t];
                }
                reg::Key reader;  // reads race the writers' renames
                if (reg::Key::Open(reg::Root::CurrentUser, "Shared", reader) != reg::Result::Ok) ++failures[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0);

    for (int t = 0; t < kThreads; ++t) {
        reg::Key key;
        ASSERT_EQ(reg::Key::Open(reg::Root::CurrentUser, "Shared\\T" + std::to_string(t % 2), key), reg::Result::Ok);
        for (int v = 0; v < kValues; ++v) {
            std::uint32_t word = 0, size = 4;
            ASSERT_EQ(key.QueryValue("v" + std::to_string(t) + "_" + std::to_string(v), nullptr, &word, &size),
                reg::Result::Ok);
            EXPECT_EQ(word, static_cast<std::uint32_t>(t * 100 + v));
        }
    }
}
