// zok2-cli paste killed (SIGKILL) at random moments of its save into a file
// whose set keeps a CRC-32 over the whole file: the file is always the old one,
// or the new one with the edited cell and the right checksum, never new cells
// under an old checksum.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <chrono>
#include <csignal>
#include <random>
#include <thread>

#include "patch/Crc32.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

constexpr std::size_t kSize = 16u << 20;  // a save of this takes a while to cut into

std::uint32_t StoredAtEnd(const std::string& file)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(file[file.size() - 4 + static_cast<std::size_t>(i)]);
    return v;
}

}  // namespace

TEST(ChecksumSave, AKilledSaveLeavesTheOldFileOrTheNewOneWithItsRightChecksum)
{
    TempDir temp;
    WriteFile(temp.Path() + "zok2.ini", "[Setting]\r\nmode=big\r\n");
    WriteFile(temp.Path() + "Settings/big/t.idn", "a\r\nb\r\nc\r\nd\r\n");
    WriteFile(temp.Path() + "Settings/big/t.ini", "0,V,1,10,4,10\r\n");
    char end[32];
    std::snprintf(end, sizeof end, "%zX", kSize - 5);
    char store[32];
    std::snprintf(store, sizeof store, "%zX", kSize - 4);
    WriteFile(temp.Path() + "Settings/big/checksums.txt", std::string("all,crc32,0-") + end + "," + store + ":4:le\r\n");
    std::string old(kSize, '\0');
    std::mt19937 random(27);
    for (char& b : old) b = static_cast<char>(random() & 0x7F);
    const std::string binary = temp.Path() + "data.bin";

    const auto paste = [&](int value) {
        auto process = std::make_unique<QProcess>();
        process->start(QString::fromUtf8(ZOK2_CLI), {QStringLiteral("--root"), QString::fromStdString(temp.Path()), QStringLiteral("paste"),
                                                     QString::fromStdString(binary), QStringLiteral("t"), QStringLiteral("2"), QStringLiteral("1")});
        process->waitForStarted();
        process->write(QByteArray::number(value));
        process->waitForBytesWritten(10000);  // on its way now, not when an event loop next runs
        process->closeWriteChannel();
        return process;
    };
    // How long a whole paste and save takes here.
    WriteFile(binary, old);
    QElapsedTimer timer;
    timer.start();
    {
        auto whole = paste(99);
        ASSERT_TRUE(whole->waitForFinished(120000));
        ASSERT_EQ(whole->exitCode(), 0) << whole->readAllStandardError().toStdString();
    }
    const qint64 took = std::max<qint64>(timer.elapsed(), 50);
    {
        const std::string saved = ReadFile(binary);
        ASSERT_EQ(StoredAtEnd(saved), patch::Crc32(std::string_view(saved).substr(0, kSize - 4)));
    }

    int olds = 0, news = 0;
    for (int kill = 0; kill < 24; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        WriteFile(binary, old);
        const int value = 1 + kill % 100;
        auto process = paste(value);
        // Anywhere from the start to a while past the time a whole save took.
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % static_cast<std::uint32_t>(took * 2)));
        ::kill(static_cast<pid_t>(process->processId()), SIGKILL);
        process->waitForFinished(60000);
        const std::string now = ReadFile(binary);
        ASSERT_EQ(now.size(), kSize);
        if (now == old) {
            ++olds;
            continue;
        }
        ++news;
        // The new file: the edited cell, its checksum right, nothing else changed.
        EXPECT_EQ(static_cast<unsigned char>(now[0x10]), value);
        EXPECT_EQ(StoredAtEnd(now), patch::Crc32(std::string_view(now).substr(0, kSize - 4)));
        for (std::size_t i = 0; i + 4 < kSize; ++i) {
            if (i != 0x10 && now[i] != old[i]) {
                ADD_FAILURE() << "byte " << i << " changed";
                break;
            }
        }
    }
    std::cout << "old " << olds << ", new " << news << " (a whole save took " << took << " ms)\n";
    EXPECT_GT(olds, 0);
    EXPECT_GT(news, 0);
}

}  // namespace zok2::test

#endif
