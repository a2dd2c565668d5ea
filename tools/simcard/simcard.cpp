// Console tool over the simulated card's control surface:
//   simcard reset | set FIELD VALUE | get FIELD | journal | clear
//         | power-loss [NOT_READY_MS] | not-ready MS
// VALUE is decimal or 0x hexadecimal. Exit code 0 on success, 1 on an unknown
// field, a bad value or a bad command line.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SimCardControl.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: simcard reset | set FIELD VALUE | get FIELD | journal | clear\n"
                 "               | power-loss [NOT_READY_MS] | not-ready MS\n");
    return 1;
}

// Accepts -12, 80, 0x140004 and 0xFFFF0000 (taken as its 32-bit pattern).
bool ParseValue(const char* text, int32_t* value) {
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0') return false;
    if (v < INT32_MIN || v > static_cast<long long>(UINT32_MAX)) return false;
    *value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* command = argv[1];

    if (std::strcmp(command, "reset") == 0 && argc == 2) {
        SimCard_Reset();
        return 0;
    }
    if (std::strcmp(command, "clear") == 0 && argc == 2) {
        SimCard_JournalClear();
        return 0;
    }
    if (std::strcmp(command, "set") == 0 && argc == 4) {
        int32_t value = 0;
        if (!ParseValue(argv[3], &value)) {
            std::fprintf(stderr, "simcard: bad value '%s'\n", argv[3]);
            return 1;
        }
        if (!SimCard_Set(argv[2], value)) {
            std::fprintf(stderr, "simcard: unknown field '%s'\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (std::strcmp(command, "get") == 0 && argc == 3) {
        int32_t value = 0;
        if (!SimCard_Get(argv[2], &value)) {
            std::fprintf(stderr, "simcard: unknown field '%s'\n", argv[2]);
            return 1;
        }
        std::printf("%ld\n", static_cast<long>(value));
        return 0;
    }
    if (std::strcmp(command, "journal") == 0 && argc == 2) {
        const int32_t count = SimCard_JournalCount();
        for (int32_t i = 0; i < count; ++i) {
            SimCardCall call{};
            if (!SimCard_JournalEntry(i, &call)) break;
            std::printf("%s", call.op);
            for (int32_t a = 0; a < call.argCount; ++a) std::printf(" %ld", static_cast<long>(call.args[a]));
            std::printf(call.refused ? " refused\n" : "\n");
        }
        return 0;
    }
    // The card loses its power (a sleep, a driver restart), then refuses
    // every call for the given time.
    if (std::strcmp(command, "power-loss") == 0 && (argc == 2 || argc == 3)) {
        int32_t ms = 0;
        if (argc == 3 && (!ParseValue(argv[2], &ms) || ms < 0)) {
            std::fprintf(stderr, "simcard: bad time '%s'\n", argv[2]);
            return 1;
        }
        SimCard_PowerLoss(ms);
        return 0;
    }
    if (std::strcmp(command, "not-ready") == 0 && argc == 3) {
        int32_t ms = 0;
        if (!ParseValue(argv[2], &ms) || ms < 0) {
            std::fprintf(stderr, "simcard: bad time '%s'\n", argv[2]);
            return 1;
        }
        SimCard_SetNotReady(ms);
        return 0;
    }
    return Usage();
}
