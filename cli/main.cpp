// zok2-cli: list, dump and batch-edit the tables of a binary headless.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "CliCommands.h"

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Bytes in and out as they are: text mode would turn LF into CR LF and end
    // standard input at the first Ctrl+Z (0x1A), a byte binary tables hold.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Our texts are UTF-8: a console shows them as such.
    SetConsoleOutputCP(CP_UTF8);
#endif
    QCoreApplication app(argc, argv);
#ifdef _WIN32
    // The wide command line as UTF-8: argv holds the ANSI code page's guesses.
    std::vector<std::string> args;
    for (const QString& arg : QCoreApplication::arguments().mid(1)) args.push_back(arg.toStdString());
#else
    // The bytes themselves: a file name need not be UTF-8.
    std::vector<std::string> args(argv + 1, argv + argc);
#endif
    zok2::CliResult result = zok2::RunCli(args, QCoreApplication::applicationDirPath().toStdString(), [] {
        return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    });
    std::fwrite(result.out.data(), 1, result.out.size(), stdout);
    std::fwrite(result.err.data(), 1, result.err.size(), stderr);
    std::fflush(stdout);
    return result.status;
}
