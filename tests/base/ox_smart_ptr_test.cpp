#include "base/objects/ox_smart_ptr.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using ox_base::SmartPtr;

namespace {
struct Tracked {
  explicit Tracked(int& alive) : m_alive(alive) { ++m_alive; }
  ~Tracked() { --m_alive; }
  int& m_alive;
};
}  // namespace

TEST(SmartPtr, LastReleaseDestroys) {
  int alive = 0;
  {
    SmartPtr<Tracked> a(new Tracked(alive));
    SmartPtr<Tracked> b = a;
    EXPECT_EQ(a, b);
    SmartPtr<Tracked> c(new Tracked(alive));
    EXPECT_EQ(alive, 2);
    c = a;  // releases the second object
    EXPECT_EQ(alive, 1);
    a.Reset();
    b = SmartPtr<Tracked>();
    EXPECT_EQ(alive, 1) << "c still holds it";
    c = c;
    EXPECT_EQ(alive, 1);
  }
  EXPECT_EQ(alive, 0);
  SmartPtr<Tracked> empty;
  EXPECT_FALSE(empty);
  EXPECT_EQ(empty.Get(), nullptr);
}

TEST(SmartPtr, CountsSurviveCopiesOnManyThreads) {
  int alive = 0;
  SmartPtr<Tracked> shared(new Tracked(alive));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([shared] {
      for (int i = 0; i < 20000; ++i) {
        SmartPtr<Tracked> copy = shared;
        SmartPtr<Tracked> another(copy);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(alive, 1) << "a lost count would have destroyed it early";
  shared.Reset();
  EXPECT_EQ(alive, 0);
}
