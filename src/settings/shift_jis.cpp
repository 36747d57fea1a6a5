#include "shift_jis.h"

#include <cerrno>
#include <iconv.h>
#include <utility>

namespace peterin {

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD"; // U+FFFD

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

// Converts as much of `in` as possible, appending to `out`; returns false when it stopped at an
// invalid or incomplete sequence, with `in` advanced up to it.
bool convert(iconv_t cd, std::string_view& in, std::string& out) {
    char buffer[1024];
    while (!in.empty()) {
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        const int error = errno;
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        in.remove_prefix(in.size() - srcLeft);
        if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
            return false;
        }
    }
    return true;
}

// Length of the UTF-8 sequence that `byte` starts, 1 for a stray byte.
std::size_t utf8SequenceLength(unsigned char byte) {
    if (byte >= 0xF0 && byte <= 0xF4) {
        return 4;
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return 3;
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        return 2;
    }
    return 1;
}

} // namespace

ShiftJisCodec::ShiftJisCodec(const char* codePage)
    : codePage_(codePage), toUtf8_(iconv_open("UTF-8", codePage)),
      toShiftJis_(iconv_open(codePage, "UTF-8")) {}

ShiftJisCodec& ShiftJisCodec::operator=(const ShiftJisCodec& other) {
    if (this != &other) {
        ShiftJisCodec fresh(other.codePage_);
        std::swap(codePage_, fresh.codePage_);
        std::swap(toUtf8_, fresh.toUtf8_);
        std::swap(toShiftJis_, fresh.toShiftJis_);
    }
    return *this;
}

bool ShiftJisCodec::available() const {
    return static_cast<iconv_t>(toUtf8_) != kNoDescriptor &&
           static_cast<iconv_t>(toShiftJis_) != kNoDescriptor;
}

ShiftJisCodec::~ShiftJisCodec() {
    if (static_cast<iconv_t>(toUtf8_) != kNoDescriptor) {
        iconv_close(static_cast<iconv_t>(toUtf8_));
    }
    if (static_cast<iconv_t>(toShiftJis_) != kNoDescriptor) {
        iconv_close(static_cast<iconv_t>(toShiftJis_));
    }
}

std::string ShiftJisCodec::toUtf8(std::string_view in) {
    std::string out;
    out.reserve(in.size() * 3 / 2);
    const auto cd = static_cast<iconv_t>(toUtf8_);
    if (cd == kNoDescriptor) {
        // Without the converter keep ASCII and mark the rest, so nothing misreads as a name.
        for (const char c : in) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out += c;
            } else {
                out += kReplacementUtf8;
            }
        }
        return out;
    }
    while (!convert(cd, in, out)) {
        out += kReplacementUtf8;
        in.remove_prefix(1);
    }
    return out;
}

std::string ShiftJisCodec::toShiftJis(std::string_view in, char replacement) {
    std::string out;
    out.reserve(in.size());
    const auto cd = static_cast<iconv_t>(toShiftJis_);
    if (cd == kNoDescriptor) {
        for (const char c : in) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out += c;
            } else if (replacement != 0 && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
                out += replacement;
            }
        }
        return out;
    }
    while (!convert(cd, in, out)) {
        if (replacement != 0) {
            out += replacement;
        }
        // Skip the whole offending character, not just its first byte.
        const std::size_t length = utf8SequenceLength(static_cast<unsigned char>(in.front()));
        std::size_t n = 1;
        while (n < length && n < in.size() && (static_cast<unsigned char>(in[n]) & 0xC0) == 0x80) {
            ++n;
        }
        in.remove_prefix(n);
    }
    return out;
}

std::string shiftJisToUtf8(std::string_view in) {
    return ShiftJisCodec().toUtf8(in);
}

std::string utf8ToShiftJis(std::string_view in, char replacement) {
    return ShiftJisCodec().toShiftJis(in, replacement);
}

} // namespace peterin
