// Feeds arbitrary bytes to the game-record reader, then replays what it accepted: nothing may
// crash, a record read is written back to the same text, and a replay either agrees with the
// record or names the event where it parts from it.
#include "records/record.h"
#include "records/replay.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

using namespace peterin;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParsedRecord parsed = parseRecord(text);
    if (!parsed.record) {
        check(parsed.error.line >= 0 && !parsed.error.reason.empty(), "a refusal says why");
        return 0;
    }
    const Record& record = *parsed.record;
    check(parsed.eventLines.size() == record.events.size(), "every event has its line");
    const std::string written = formatRecord(record);
    const ParsedRecord again = parseRecord(written);
    check(again.record.has_value(), "a written record reads back");
    check(formatRecord(*again.record) == written, "a written record reads back the same");

    Replay replay(record);
    if (const auto fault = replay.check()) {
        check(fault->event < record.events.size() && !fault->reason.empty(),
              "a fault names its event and reason");
        return 0;
    }
    check(static_cast<int>(replay.turns().size()) == record.turns(), "every turn replayed");
    replay.seekTurn(record.turns() / 2);
    replay.seekTurn(0);
    return 0;
}
