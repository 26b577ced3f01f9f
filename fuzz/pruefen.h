#pragma once
// What the fuzz targets share: a failed invariant aborts, so libFuzzer keeps
// the input as a crash and shows where.
#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

#define PRUEFE(bedingung)                                                                   \
    do {                                                                                     \
        if (!(bedingung)) {                                                                  \
            std::fprintf(stderr, "%s:%d: Invariante verletzt: %s\n", __FILE__, __LINE__,    \
                         #bedingung);                                                        \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

inline QByteArray alsBytes(const std::uint8_t* daten, std::size_t groesse)
{
    return QByteArray(reinterpret_cast<const char*>(daten), qsizetype(groesse));
}

inline QByteArray restBytes(FuzzedDataProvider& fdp)
{
    const std::string s = fdp.ConsumeRemainingBytesAsString();
    return QByteArray(s.data(), qsizetype(s.size()));
}

inline QByteArray bytesBis(FuzzedDataProvider& fdp, std::size_t hoechstens)
{
    const std::string s = fdp.ConsumeRandomLengthString(hoechstens);
    return QByteArray(s.data(), qsizetype(s.size()));
}
