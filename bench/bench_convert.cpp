// Converting 100 MB files of each earlier layout: the bytes alone, the
// whole in-place conversion of a file (read, backup, safe write), and the
// peak memory of that conversion in a fresh process against its input.

#include "benchsupport.h"
#include "core/deck/conversion.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>


namespace {

using mdk::conversion::Version;

constexpr qsizetype kBytes = 100'000'000; // 100 MB

// Words of a few letters, so texts look like study cards.
void appendText(QByteArray &out, std::mt19937 &random, int maxLength)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz \xe9\xfc";
    const int length = 1 + int(random() % unsigned(maxLength));
    for (int i = 0; i < length; ++i)
        out.append(kLetters[random() % (sizeof kLetters - 1)]);
}

// An old file of about kBytes in the given layout.
QByteArray oldFile(Version version)
{
    std::mt19937 random(42);
    QByteArray out;
    out.reserve(kBytes + 2000);
    if (version == Version::Later) {
        while (out.size() < kBytes) {
            appendText(out, random, 60);
            out.append('\a');
        }
        return out;
    }
    const int block = version == Version::V301 ? 1001 : 95;
    while (out.size() < kBytes) {
        const qsizetype start = out.size();
        appendText(out, random, version == Version::V301 ? 400 : 60);
        out.append('\0');
        out.append(QByteArray(block - (out.size() - start), ' '));
    }
    return out;
}

struct Layout {
    const char *name;
    Version version;
    QByteArray bytes;
    QString path;
};

Layout layouts[] = {{"v100", Version::V100, {}, {}}, {"v301", Version::V301, {}, {}}, {"later", Version::Later, {}, {}}};
QString folder;

bool writeOld(const Layout &layout)
{
    QFile::remove(layout.path);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QFile f(layout.path);
    // Synced, so that the timed conversion does not pay for these pages.
    return f.open(QIODevice::WriteOnly) && f.write(layout.bytes) == layout.bytes.size() && f.flush()
           && ::fsync(f.handle()) == 0;
}

void convertBytes(benchmark::State &state, Layout *layout)
{
    const std::string_view old(layout->bytes.constData(), size_t(layout->bytes.size()));
    benchsupport::timed(
        state, [&] { benchmark::DoNotOptimize(mdk::conversion::convertBytes(old, layout->version).size()); }, [] {});
    state.SetBytesProcessed(state.iterations() * layout->bytes.size());
}

void convertFile(benchmark::State &state, Layout *layout)
{
    benchsupport::timed(
        state,
        [&] {
            if (mdk::conversion::convertFile(layout->path, layout->version).status
                != mdk::conversion::Result::Status::Converted)
                state.SkipWithError("the conversion failed");
        },
        [&] {
            if (!writeOld(*layout))
                state.SkipWithError("cannot write the old file");
        });
    state.SetBytesProcessed(state.iterations() * layout->bytes.size());
}

// This program run again with --convert-child converts one file and
// prints its peak resident memory (VmHWM: the child's own, unlike a
// rusage figure that includes what it inherited at the fork), which is
// compared with the file's size.
void peakMemory(benchmark::State &state, Layout *layout)
{
    double peakKb = 0;
    for (auto _ : state) {
        if (!writeOld(*layout)) {
            state.SkipWithError("cannot write the old file");
            break;
        }
        QProcess child;
        child.start(QStringLiteral("/proc/self/exe"),
                    {QStringLiteral("--convert-child"), QString::number(int(layout->version)), layout->path});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            state.SkipWithError("the conversion failed");
            break;
        }
        peakKb = std::max(peakKb, child.readAllStandardOutput().trimmed().toDouble());
    }
    state.counters["peak_mb"] = peakKb / 1024;
    state.counters["input_mb"] = double(layout->bytes.size()) / (1 << 20);
    state.counters["peak_per_input"] = peakKb * 1024 / double(layout->bytes.size());
}

int convertChild(const char *version, const char *path)
{
    if (mdk::conversion::convertFile(QFile::decodeName(path), Version(std::atoi(version))).status
        != mdk::conversion::Result::Status::Converted)
        return 1;
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            std::printf("%s\n", line.mid(6).trimmed().split(' ').value(0).constData());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--convert-child") == 0)
        return convertChild(argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    folder = dir.filePath(QStringLiteral("files"));
    std::vector<benchsupport::TargetReporter::Target> targets;
    for (Layout &layout : layouts) {
        layout.bytes = oldFile(layout.version);
        layout.path = folder + QStringLiteral("/old.mdk");
        const std::string name = layout.name;
        benchmark::RegisterBenchmark(("convert_bytes_100mb_" + name).c_str(), convertBytes, &layout)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(5);
        benchmark::RegisterBenchmark(("convert_file_100mb_" + name).c_str(), convertFile, &layout)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(3);
        benchmark::RegisterBenchmark(("convert_peak_memory_" + name).c_str(), peakMemory, &layout)->Iterations(1);
        targets.push_back({"convert_bytes_100mb_" + name, 1000});
        targets.push_back({"convert_file_100mb_" + name, 1000});
    }
    benchsupport::TargetReporter reporter(targets, "conversion");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    std::printf("convert_peak_memory_*'s peak_per_input should stay within 2.5\n");
    benchmark::Shutdown();
    return 0;
}
