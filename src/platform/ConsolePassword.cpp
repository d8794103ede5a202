#include "platform/ConsolePassword.h"

#include <cstdio>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace ConsolePassword {

std::optional<QString> ask(const QString& prompt) {
#ifdef _WIN32
    if (!_isatty(_fileno(stdin)))
        return std::nullopt;
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    GetConsoleMode(input, &mode);
    SetConsoleMode(input, mode & ~ENABLE_ECHO_INPUT);
#else
    if (!::isatty(STDIN_FILENO))
        return std::nullopt;
    termios before{};
    ::tcgetattr(STDIN_FILENO, &before);
    termios quiet = before;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
#endif
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::string line;
    std::getline(std::cin, line);
    std::fputs("\n", stderr);
#ifdef _WIN32
    SetConsoleMode(input, mode);
#else
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
#endif
    return QString::fromLocal8Bit(line.c_str());
}

} // namespace ConsolePassword
