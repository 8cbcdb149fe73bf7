// The archive byte buffer and the primitives under it: a producer and a consumer thread
// meeting in the buffer, its close, and the blocking rules of the binary semaphore.
#include "tevrin/rtdb/bounded_buffer.h"
#include "tests/common/fake_prompter.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Waits (for a generous while at most) until the condition holds.
bool Eventually(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// The future has not become ready: the call behind it still waits.
template <typename T>
bool StillWaiting(std::future<T>& f)
{
    return f.wait_for(50ms) == std::future_status::timeout;
}

TEST(BoundedBuffer, GetWaitsUntilAByteIsPut)
{
    unsigned char area[4] = {};
    boundedBuffer buffer(area, 4);
    auto got = std::async(std::launch::async, [&] { return buffer.Get(); });
    EXPECT_TRUE(StillWaiting(got));

    const unsigned char b = 0xA5;
    ASSERT_TRUE(buffer.Put(&b));
    const auto value = got.get();
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, 0xA5);
}

TEST(BoundedBuffer, FourthPutWaitsForAGetAndOrderSurvivesTheWrap)
{
    unsigned char area[3] = {};
    boundedBuffer buffer(area, 3);
    const unsigned char bytes[] = {1, 2, 3, 4, 5, 6, 7};
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(buffer.Put(&bytes[i]));

    auto fourth = std::async(std::launch::async, [&] { return buffer.Put(&bytes[3]); });
    EXPECT_TRUE(StillWaiting(fourth));
    EXPECT_EQ(buffer.Get(), std::optional<unsigned char>(1));
    EXPECT_TRUE(fourth.get());

    // The write index has wrapped (0, 1, 2, 0); take the rest and go round once more.
    std::vector<int> out;
    for (int i = 0; i < 3; ++i) out.push_back(*buffer.Get());
    for (int i = 4; i < 7; ++i) ASSERT_TRUE(buffer.Put(&bytes[i]));
    for (int i = 0; i < 3; ++i) out.push_back(*buffer.Get());
    EXPECT_EQ(out, (std::vector<int>{2, 3, 4, 5, 6, 7}));
}

TEST(BoundedBuffer, ProducerAndConsumerThreadsKeepEveryByteInOrder)
{
    // A small ring and many bytes, so both sides block and the indices wrap many times.
    constexpr int kBytes = 5000;
    struct Case { int capacity; };
    for (const Case c : {Case{1}, Case{3}, Case{200}}) {
        SCOPED_TRACE(c.capacity);
        std::vector<unsigned char> area(static_cast<size_t>(c.capacity));
        boundedBuffer buffer(area.data(), c.capacity);
        std::thread producer([&] {
            for (int i = 0; i < kBytes; ++i) {
                const unsigned char b = static_cast<unsigned char>(i * 7 + i / 256);
                buffer.Put(&b);
            }
        });
        int mismatches = 0;
        for (int i = 0; i < kBytes; ++i) {
            const auto b = buffer.Get();
            if (!b || *b != static_cast<unsigned char>(i * 7 + i / 256)) ++mismatches;
        }
        producer.join();
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(BoundedBuffer, CloseReleasesAConsumerThatWaits)
{
    unsigned char area[8] = {};
    boundedBuffer buffer(area, 8);
    auto got = std::async(std::launch::async, [&] { return buffer.Get(); });
    EXPECT_TRUE(StillWaiting(got));
    buffer.Close();
    EXPECT_FALSE(got.get().has_value());
    // And every later Get answers at once.
    EXPECT_FALSE(buffer.Get().has_value());
}

TEST(BoundedBuffer, ConsumerDrainsWhatWasPutBeforeTheClose)
{
    // The archive read breaks off after some blocks: the parser still gets those bytes, then
    // learns that no more come.
    unsigned char area[16] = {};
    boundedBuffer buffer(area, 16);
    std::atomic<int> received{0};
    std::thread consumer([&] {
        while (buffer.Get()) ++received;
    });
    const unsigned char bytes[5] = {10, 20, 30, 40, 50};
    for (const unsigned char& b : bytes) ASSERT_TRUE(buffer.Put(&b));
    buffer.Close();
    consumer.join();
    EXPECT_EQ(received.load(), 5);

    const unsigned char late = 1;
    EXPECT_FALSE(buffer.Put(&late));
    EXPECT_FALSE(buffer.Get().has_value());
}

TEST(BoundedBuffer, CloseReleasesAProducerThatWaitsOnAFullBuffer)
{
    unsigned char area[1] = {};
    boundedBuffer buffer(area, 1);
    const unsigned char a = 1, b = 2;
    ASSERT_TRUE(buffer.Put(&a));
    auto put = std::async(std::launch::async, [&] { return buffer.Put(&b); });
    EXPECT_TRUE(StillWaiting(put));
    buffer.Close();
    EXPECT_FALSE(put.get());
    EXPECT_EQ(buffer.Get(), std::optional<unsigned char>(1));   // the stored byte is kept
    EXPECT_FALSE(buffer.Get().has_value());
}

TEST(BoundedBuffer, RefusesAnEmptyCapacityOrAMissingArea)
{
    unsigned char area[4] = {};
    struct Case { unsigned char* area; int capacity; };
    for (const Case c : {Case{area, 0}, Case{area, -1}, Case{nullptr, 4}}) {
        SCOPED_TRACE(c.capacity);
        EXPECT_THROW(boundedBuffer(c.area, c.capacity), std::invalid_argument);
    }
    boundedBuffer ok(area, 4);
    EXPECT_FALSE(ok.Put(nullptr));
}

TEST(BinarySemaphore, VOnAFreeSemaphoreWaitsUntilSomeoneTakes)
{
    binarySemaphore s(1);
    std::thread giver([&] { s.V(); });
    ASSERT_TRUE(Eventually([&] { return s.BlockedGivers() == 1; }));

    // The P meets the blocked giver: it returns at once, wakes the giver, the state stays free.
    s.P();
    giver.join();
    EXPECT_EQ(s.State(), 1);
    EXPECT_EQ(s.BlockedGivers(), 0);
}

TEST(BinarySemaphore, PWaitsWhileTakenAndVHandsOverToTheFirstTaker)
{
    binarySemaphore s(0);
    std::vector<int> order;
    std::mutex orderMutex;
    std::thread first([&] { s.P(); std::lock_guard<std::mutex> l(orderMutex); order.push_back(1); });
    ASSERT_TRUE(Eventually([&] { return s.BlockedTakers() == 1; }));
    std::thread second([&] { s.P(); std::lock_guard<std::mutex> l(orderMutex); order.push_back(2); });
    ASSERT_TRUE(Eventually([&] { return s.BlockedTakers() == 2; }));

    s.V();   // ownership passes to the first taker; the state stays taken
    first.join();
    EXPECT_EQ(s.State(), 0);
    s.V();
    second.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(s.State(), 0);
    s.V();
    EXPECT_EQ(s.State(), 1);
}

TEST(Win32Semaphore, FailuresAreReportedInTheirBoxes)
{
    FakePrompter prompter;
    struct Case { int initial; int maximum; };
    for (const Case c : {Case{0, 0}, Case{-1, 5}, Case{6, 5}}) {
        SCOPED_TRACE(c.initial);
        prompter.prompts.clear();
        win32Semaphore s(c.initial, c.maximum);
        EXPECT_FALSE(s.HasHandle());
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].text, QString("CreateSemaphore fail."));
        EXPECT_EQ(prompter.prompts[0].caption, QString("Attension"));
    }

    prompter.prompts.clear();
    win32Semaphore full(1, 1);
    EXPECT_TRUE(full.HasHandle());
    EXPECT_FALSE(full.Signal());
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, QString("RleaseSemaphore fail."));
    EXPECT_EQ(prompter.prompts[0].caption, QString("Attension"));
    full.Wait();   // the failed release left the count at 1
}

TEST(Win32Semaphore, AFailureOnAWorkerThreadShowsItsBoxOnTheGuiThread)
{
    FakePrompter prompter;
    win32Semaphore full(1, 1);
    bool released = true;
    std::thread worker([&] { released = full.Signal(); });
    worker.join();
    EXPECT_FALSE(released);
    EXPECT_TRUE(prompter.prompts.empty());   // nothing shown from the worker itself
    QCoreApplication::processEvents();
    EXPECT_TRUE(prompter.Saw("RleaseSemaphore fail."));
}

}  // namespace
