// The per-line path: an exchange file streamed into the host report, in each
// output flavour. Reports lines and bytes per second and the heap
// allocations made per line once the buffers have grown.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "doubles/fake_system.h"
#include "query/exchange_file_reader.h"

namespace {

std::atomic<std::size_t> allocations{0};

}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace trelvane {
namespace {

// Standard output that only counts what it is handed.
class CountingOutput final : public StandardOutput {
 public:
  void WriteLine(std::initializer_list<std::string_view> pieces) override {
    for (std::string_view piece : pieces) bytes += piece.size();
    bytes += 2;
  }
  void Flush() override {}
  std::size_t bytes = 0;
};

std::string ExchangeFile(int lines) {
  std::string file;
  for (int i = 0; i < lines; ++i) {
    if (i % 16 == 0) file += "* walked interface block\r\n";
    const std::string name = "eth" + std::to_string(i % 48) + " Traffic In " + std::to_string(i);
    file += "- " + name + ".....: " + std::to_string(1000000 + i) + " Byte/s\r\n";
  }
  return file;
}

void BM_ReadExchangeFile(benchmark::State& bench, OutputFlavour flavour) {
  const int lines = static_cast<int>(bench.range(0));
  testing::FakeSystem fake;
  fake.files.files["Bench.Xrf"] = ExchangeFile(lines);
  CountingOutput out;
  System system{fake.files, fake.libraries, fake.clock, out};
  std::size_t allocated = 0;
  for (auto _ : bench) {
    RunState state;
    state.OutputFlavour = flavour;
    state.ExchangeFileName = "Bench.Xrf";
    const std::size_t before = allocations.load();
    ReadExchangeFile(state, system);
    allocated += allocations.load() - before;
    benchmark::DoNotOptimize(state.EntryCount);
  }
  bench.SetItemsProcessed(bench.iterations() * lines);
  bench.SetBytesProcessed(bench.iterations() *
                          static_cast<std::int64_t>(fake.files.files["Bench.Xrf"].size()));
  bench.counters["allocs/line"] = benchmark::Counter(
      static_cast<double>(allocated) / static_cast<double>(bench.iterations() * lines));
}

BENCHMARK_CAPTURE(BM_ReadExchangeFile, Xml, OutputFlavour::Xml)->Arg(1000)->Arg(100000);
BENCHMARK_CAPTURE(BM_ReadExchangeFile, ContextLines, OutputFlavour::ContextLines)
    ->Arg(1000)
    ->Arg(100000);
BENCHMARK_CAPTURE(BM_ReadExchangeFile, StatisticLines, OutputFlavour::StatisticLines)->Arg(100000);

}  // namespace
}  // namespace trelvane

BENCHMARK_MAIN();
