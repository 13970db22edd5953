// The line rule for every text file the sensor reads: a line ends at a
// carriage return, and a line feed directly after it belongs to that line
// end; a line feed anywhere else is an ordinary character; a character of
// code 26 ends the file; a last line without a line end is still a line, and
// a line end at the very end of the file begins no further line.
#pragma once

#include <cstddef>
#include <string>

namespace trelvane {

/// A stream of bytes, such as an open file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// Reads up to `size` bytes into `buffer` and returns how many it read; 0
  /// at the end. A failed read throws (it is a failure that nothing handles).
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

/// Splits a byte stream into lines under the line rule, reusing one buffer.
class LineReader {
 public:
  explicit LineReader(ByteSource& source) : source_(source) {}
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  /// Reads the next line, without its line end, into `*line`. Returns false
  /// when the file has no further line.
  bool Next(std::string* line);

 private:
  /// Makes sure unread bytes are buffered; false at the end of the file.
  bool Fill();

  ByteSource& source_;
  char buffer_[64 * 1024];
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
  bool skip_line_feed_ = false;
};

}  // namespace trelvane
