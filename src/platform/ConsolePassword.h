#pragma once

#include <QString>
#include <optional>

// Asks for a password on the terminal, without showing what is typed; nothing when the program
// does not run on a terminal (its input comes from a file or a pipe).
namespace ConsolePassword {

std::optional<QString> ask(const QString& prompt);

} // namespace ConsolePassword
