#pragma once

#include <cstddef>
#include <cstdint>
#include <streambuf>
#include <string>

namespace peterin {

// A read-only stream buffer over another one that reads it as a text-mode file: every "\r\n"
// becomes "\n" (files written on Windows read like ours), and it counts the line breaks handed
// out so far, so a reader can say on which line it stopped.
class TextModeBuf : public std::streambuf {
  public:
    explicit TextModeBuf(std::streambuf& source) : source_(source) {}

    // 1-based number of the line the next character belongs to.
    std::int64_t lineNumber() const;
    // 1-based number of the line the last character handed out belongs to (1 before any), so
    // that a reader that has just taken a whole line can name it.
    std::int64_t lastLineNumber() const;

  protected:
    int_type underflow() override;

  private:
    std::streambuf& source_;
    char buffer_[4096];
    std::int64_t linesBefore_ = 0; // line breaks in the chunks handed out before this one
    mutable const char* countedTo_ = nullptr; // line breaks of this chunk before it are
    mutable std::int64_t countedLines_ = 0;   // in countedLines_
    bool previousEndsLine_ = false; // the last chunk handed out before this one ended in "\n"
};

// Reads one line as a 512-byte line buffer does: at most 511 bytes, stopping after the first
// line break, which is kept. A longer line is returned in pieces by successive calls. Bytes of
// value zero are kept as they are. Returns false, with `line` empty, at the end of the stream.
inline constexpr std::size_t kLineBufferSize = 512;
bool readBufferedLine(std::streambuf& in, std::string& line);

// Reads `count` (1 to 3) integers the way the pattern "%d, %d" (or "%d, %d, %d") followed by a
// space reads them: white space before each number is skipped, each number but the last is
// followed directly by a comma, and all white space after the last number (blank lines
// included) is consumed. Values beyond the range of int saturate. Returns false as soon as the
// input does not match; how much was consumed then is unspecified.
bool scanIntegers(std::streambuf& in, int* values, int count);

} // namespace peterin
