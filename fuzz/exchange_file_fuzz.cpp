// Feeds arbitrary bytes through the parts of the sensor that read outside
// input: the command-line rules, the line rule and the exchange-file reader
// in every output flavour. Besides crashes it checks what must hold for any
// input: entries are counted exactly, names stay within 99 characters, and
// a channel key is as long as its name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "doubles/fake_system.h"
#include "query/exchange_file_reader.h"
#include "report/channel_entries.h"
#include "run/invocation.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trelvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The first line of the input is taken as a command-line argument.
  const std::size_t split = bytes.find('\n');
  const std::string_view argument = bytes.substr(0, split == std::string_view::npos ? 0 : split);
  const std::string_view exchange =
      split == std::string_view::npos ? bytes : bytes.substr(split + 1);

  Arguments arguments;
  arguments.Items[0] = std::string(argument);
  arguments.Items[1] = "Slct=" + std::string(argument.substr(0, 3));
  const std::string line = BuildParameterLine(arguments);
  DeriveExchangeFileName(argument);
  const std::string filter = DeriveSelectFilter(DeriveRequestParameters(line));
  Check(filter.size() <= 99);
  DeriveSummarySubject(line);

  for (OutputFlavour flavour :
       {OutputFlavour::Xml, OutputFlavour::StatisticLines, OutputFlavour::ContextLines}) {
    testing::FakeSystem fake;
    fake.files.files["F.Xrf"] = std::string(exchange);
    RunState state;
    state.OutputFlavour = flavour;
    state.ExchangeFileName = "F.Xrf";
    state.SelectFilter = filter;
    ReadExchangeFile(state, fake.system);

    // Count the entries the line rule and the parser give, one by one.
    testing::StringSource source{std::string(exchange)};
    LineReader lines(source);
    std::string text;
    std::int32_t entries = 0;
    std::string key;
    while (lines.Next(&text)) {
      const ExchangeLine parsed = ParseExchangeLine(text, filter);
      if (parsed.kind != ExchangeLine::Kind::Entry) continue;
      ++entries;
      Check(parsed.entry.Name.size() <= 99);
      ChannelKey(parsed.entry.Name, &key);
      Check(key.size() == parsed.entry.Name.size());
    }
    Check(state.EntryCount == entries);
  }
  return 0;
}
