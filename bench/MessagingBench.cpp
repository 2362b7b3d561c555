#include "nevrik/application/Handler.h"
#include "nevrik/application/Looper.h"
#include "nevrik/application/Message.h"
#include "nevrik/application/Messenger.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/system/Signal.h"

#include <benchmark/benchmark.h>

#include <atomic>

namespace {

using nevrik::application::Handler;
using nevrik::application::Looper;
using nevrik::application::Message;
using nevrik::object::Pointer;

// Counts deliveries and raises a signal when the count reaches the goal.
class CountingHandler : public Handler {
public:
    bool onMessage(Message&) override {
        if (++mDelivered == mGoal.load(std::memory_order_relaxed)) {
            mReached.set();
        }
        return true;
    }

    // Blocks until `count` messages in all have arrived.
    void waitFor(long count) {
        mGoal.store(count, std::memory_order_relaxed);
        while (mDelivered.load() < count) {
            mReached.consume();
        }
    }

    std::atomic<long> mDelivered{0};

private:
    std::atomic<long> mGoal{0};
    nevrik::system::Signal mReached;
};

// A running looper with one counting handler.
struct Bench {
    Bench() {
        looper->addHandler(handler.get());
        looper->run();
    }
    ~Bench() { looper->quit(); }

    Pointer<Looper> looper = nevrik::object::make<Looper>();
    Pointer<CountingHandler> handler = nevrik::object::make<CountingHandler>();
};

// One message at a time: post, then wait until the looper thread delivered it.
void BM_PostToDeliveryLatency(benchmark::State& state) {
    Bench bench;
    long sent = 0;
    for (auto _ : state) {
        nevrik::application::post(bench.handler.get(), 1);
        bench.handler->waitFor(++sent);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PostToDeliveryLatency)->UseRealTime();

// Bursts of `range(0)` posts, then wait for the last: messages per second.
void BM_LooperThroughput(benchmark::State& state) {
    Bench bench;
    const long burst = state.range(0);
    long sent = 0;
    for (auto _ : state) {
        for (long i = 0; i < burst; ++i) {
            nevrik::application::post(bench.handler.get(), 1);
        }
        sent += burst;
        bench.handler->waitFor(sent);
    }
    state.SetItemsProcessed(state.iterations() * burst);
}
BENCHMARK(BM_LooperThroughput)->Arg(64)->Arg(1024)->UseRealTime();

// The pool alone: one make and one release, each a short locked section.
void BM_MessageMakeRelease(benchmark::State& state) {
    for (auto _ : state) {
        Pointer<Message> message = Message::make(1, nullptr);
        benchmark::DoNotOptimize(message.get());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MessageMakeRelease);

}  // namespace
