#pragma once

struct sqlite3;

// The LIKE of the searches. The engine's own stops reading both texts at a NUL, so a text
// holding one would find rows that do not contain it. This one reads every byte: "%" stands
// for any run of characters, "_" for one character, ASCII letters match in either case and
// every other character only itself, as with the engine's.
namespace LikeFunction {

// Takes the place of like(pattern, text) on the connection; false when the engine refuses it.
bool install(sqlite3* db);

} // namespace LikeFunction
