#include "text/line_reader.h"

namespace trelvane {
namespace {
constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kEndOfFile = '\x1a';
}  // namespace

bool LineReader::Fill() {
  while (begin_ == end_) {
    if (ended_) return false;
    begin_ = 0;
    end_ = source_.Read(buffer_, sizeof buffer_);
    if (end_ == 0) ended_ = true;
  }
  return true;
}

bool LineReader::Next(std::string* line) {
  line->clear();
  if (skip_line_feed_) {
    skip_line_feed_ = false;
    if (Fill() && buffer_[begin_] == kLineFeed) ++begin_;
  }
  bool started = false;
  while (Fill()) {
    started = true;
    std::size_t at = begin_;
    while (at < end_ && buffer_[at] != kCarriageReturn && buffer_[at] != kEndOfFile) ++at;
    line->append(buffer_ + begin_, at - begin_);
    if (at == end_) {
      begin_ = end_;
      continue;
    }
    if (buffer_[at] == kEndOfFile) {
      // Nothing behind the end-of-file character is read.
      ended_ = true;
      begin_ = end_;
      return !line->empty();
    }
    begin_ = at + 1;
    skip_line_feed_ = true;
    return true;
  }
  return started;
}

}  // namespace trelvane
