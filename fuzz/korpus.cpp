// Replays the seed corpora of every fuzz target in the ordinary build: each
// file of <corpus>/<name>/ goes once through that target's input function, so
// the invariants the targets check run with every test run. A failed
// invariant aborts, as under the fuzzer; the file in work is named first.
//   fuzz_korpus <corpus folder>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>

// Each target's input function (and its set-up, where it has one) under a
// name of its own; the build renames them per target.
#define ZIEL(name)                                                                              \
    extern "C" int fuzz_##name##_eingabe(const std::uint8_t* daten, std::size_t groesse);     \
    extern "C" int fuzz_##name##_start(int* argc, char*** argv) __attribute__((weak));
#include "korpus_ziele.inc"
#undef ZIEL

namespace {

struct Ziel {
    const char* name;
    int (*eingabe)(const std::uint8_t*, std::size_t);
    int (*start)(int*, char***);
};

const Ziel kZiele[] = {
#define ZIEL(name) {#name, fuzz_##name##_eingabe, fuzz_##name##_start},
#include "korpus_ziele.inc"
#undef ZIEL
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: %s KORPUSORDNER\n", argv[0]);
        return 2;
    }
    const QDir korpus(QString::fromLocal8Bit(argv[1]));
    int fehler = 0;
    for (const Ziel& z : kZiele) {
        if (z.start)
            z.start(&argc, &argv);
        const QDir ordner(korpus.filePath(QString::fromLatin1(z.name)));
        const QStringList dateien = ordner.entryList(QDir::Files, QDir::Name);
        if (dateien.isEmpty()) {
            std::fprintf(stderr, "%s: keine Eingaben in %s\n", z.name, qPrintable(ordner.path()));
            ++fehler;
            continue;
        }
        for (const QString& d : dateien) {
            QFile f(ordner.filePath(d));
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "%s: %s nicht lesbar\n", z.name, qPrintable(f.fileName()));
                ++fehler;
                continue;
            }
            const QByteArray daten = f.readAll();
            std::fprintf(stderr, "%s: %s\n", z.name, qPrintable(d));
            z.eingabe(reinterpret_cast<const std::uint8_t*>(daten.constData()), std::size_t(daten.size()));
        }
        std::printf("%-12s %3lld Eingaben\n", z.name, static_cast<long long>(dateien.size()));
    }
    return fehler == 0 ? 0 : 1;
}
