// zok2-cli: list, dump and batch-edit the tables of a binary headless.
#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "CliCommands.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    zok2::CliResult result = zok2::RunCli(args, QCoreApplication::applicationDirPath().toStdString(), [] {
        return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    });
    std::fwrite(result.out.data(), 1, result.out.size(), stdout);
    std::fwrite(result.err.data(), 1, result.err.size(), stderr);
    std::fflush(stdout);
    return result.status;
}
