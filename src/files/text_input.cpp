#include "files/text_input.h"

#include <algorithm>
#include <climits>

namespace peterin {

namespace {

using Traits = std::char_traits<char>;

// White space as the C locale's isspace sees it.
bool isCSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void skipSpace(std::streambuf& in) {
    for (int c = in.sgetc(); c != Traits::eof() && isCSpace(c); c = in.snextc()) {
    }
}

// One "%d": optional white space, optional sign, at least one decimal digit.
bool scanOne(std::streambuf& in, int& value) {
    skipSpace(in);
    int c = in.sgetc();
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = in.snextc();
    }
    if (c == Traits::eof() || c < '0' || c > '9') {
        return false;
    }
    // Accumulate in the negative range so INT_MIN is reachable; saturate on overflow.
    long long acc = 0;
    for (; c != Traits::eof() && c >= '0' && c <= '9'; c = in.snextc()) {
        if (acc > -(static_cast<long long>(INT_MAX) + 2)) {
            acc = acc * 10 - (c - '0');
        }
    }
    if (!negative) {
        acc = -acc;
    }
    value = static_cast<int>(std::clamp<long long>(acc, INT_MIN, INT_MAX));
    return true;
}

} // namespace

std::int64_t TextModeBuf::lineNumber() const {
    // Counted on from where the last call counted to, so that asking after every line costs
    // no more than the line itself.
    if (countedTo_ == nullptr || countedTo_ < eback() || countedTo_ > gptr()) {
        countedTo_ = eback();
        countedLines_ = 0;
    }
    const char* now = gptr();
    countedLines_ += std::count(countedTo_, now, '\n');
    countedTo_ = now;
    return linesBefore_ + countedLines_ + 1;
}

std::int64_t TextModeBuf::lastLineNumber() const {
    const bool afterBreak = gptr() > eback() ? gptr()[-1] == '\n' : previousEndsLine_;
    return lineNumber() - (afterBreak ? 1 : 0);
}

TextModeBuf::int_type TextModeBuf::underflow() {
    if (gptr() < egptr()) {
        return Traits::to_int_type(*gptr());
    }
    linesBefore_ += std::count(eback(), egptr(), '\n');
    if (egptr() > eback()) {
        previousEndsLine_ = egptr()[-1] == '\n';
    }
    std::size_t n = 0;
    while (n < sizeof buffer_) {
        int c = source_.sbumpc();
        if (c == Traits::eof()) {
            break;
        }
        if (c == '\r' && source_.sgetc() == '\n') {
            continue; // the line break that follows stands for both
        }
        buffer_[n++] = Traits::to_char_type(c);
    }
    setg(buffer_, buffer_, buffer_ + n);
    countedTo_ = nullptr;
    return n == 0 ? Traits::eof() : Traits::to_int_type(buffer_[0]);
}

bool readBufferedLine(std::streambuf& in, std::string& line) {
    line.clear();
    while (line.size() < kLineBufferSize - 1) {
        int c = in.sbumpc();
        if (c == Traits::eof()) {
            break;
        }
        line.push_back(Traits::to_char_type(c));
        if (c == '\n') {
            break;
        }
    }
    return !line.empty();
}

bool scanIntegers(std::streambuf& in, int* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!scanOne(in, values[i])) {
            return false;
        }
        if (i + 1 < count) {
            if (in.sgetc() != ',') {
                return false;
            }
            in.sbumpc();
        }
    }
    skipSpace(in);
    return true;
}

} // namespace peterin
