#include "data/sqlcipher/LikeFunction.h"

#include <cstring>
#include <sqlite3.h>

namespace {

// The bytes of the UTF-8 character that starts at `at`: its lead byte and the continuation
// bytes after it.
const char* nextCharacter(const char* at, const char* end) {
    ++at;
    while (at < end && (static_cast<unsigned char>(*at) & 0xC0) == 0x80)
        ++at;
    return at;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameCharacter(const char* a, const char* aEnd, const char* b, const char* bEnd) {
    if (aEnd - a == 1 && bEnd - b == 1)
        return asciiLower(*a) == asciiLower(*b);
    return aEnd - a == bEnd - b && std::memcmp(a, b, static_cast<size_t>(aEnd - a)) == 0;
}

// Walks pattern and text together; on a mismatch after a "%" the text start of that "%" moves
// on by one character and the walk goes on from there, which finds a match whenever there is one.
bool matches(const char* p, const char* pEnd, const char* s, const char* sEnd) {
    const char* afterAny = nullptr; // the pattern after the last "%"
    const char* anyFrom = nullptr;  // where in the text that "%" stops for now
    while (s < sEnd) {
        if (p < pEnd && *p == '%') {
            afterAny = ++p;
            anyFrom = s;
            continue;
        }
        if (p < pEnd) {
            const char* pNext = nextCharacter(p, pEnd);
            const char* sNext = nextCharacter(s, sEnd);
            if (*p == '_' || sameCharacter(p, pNext, s, sNext)) {
                p = pNext;
                s = sNext;
                continue;
            }
        }
        if (!afterAny)
            return false;
        p = afterAny;
        anyFrom = nextCharacter(anyFrom, sEnd);
        s = anyFrom;
    }
    while (p < pEnd && *p == '%')
        ++p;
    return p == pEnd;
}

void like(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) == SQLITE_NULL ||
        sqlite3_value_type(values[1]) == SQLITE_NULL)
        return;
    const char* pattern = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    const int patternSize = sqlite3_value_bytes(values[0]);
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(values[1]));
    const int textSize = sqlite3_value_bytes(values[1]);
    if (!pattern || !text) {
        sqlite3_result_error_nomem(context);
        return;
    }
    sqlite3_result_int(context,
                       matches(pattern, pattern + patternSize, text, text + textSize) ? 1 : 0);
}

} // namespace

namespace LikeFunction {

bool install(sqlite3* db) {
    return sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                      &like, nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace LikeFunction
