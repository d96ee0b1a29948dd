// The download benchmark's console program: times the download of one file from a local
// server without and with the signature check (SHA-256 of the body and the ECDSA check
// through CNG). Run by tools/benchmark.sh.
//   download_bench URL TARGET SIGNATURE [ROUNDS]
// prints two lines: "unsigned" or "signed", the best seconds, and 1 or 0 for success.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "update/Download.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: download_bench URL TARGET SIGNATURE [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
    char name[] = "voldix", fileName[] = "bench.bin";
    UpdateEntry record{};
    record.name = name;
    record.version[0] = 1, record.version[3] = 22;
    record.fileName = fileName;
    record.signature = argv[3];
    for (const UpdateEntry* signedRecord :
         {static_cast<const UpdateEntry*>(nullptr), static_cast<const UpdateEntry*>(&record)}) {
        double best = 0;
        bool done = true;
        for (int round = 0; round < rounds; ++round) {
            LARGE_INTEGER frequency, start, end;
            QueryPerformanceFrequency(&frequency);
            QueryPerformanceCounter(&start);
            CString errorText;
            done = HttpDownload(argv[1], argv[2], errorText, kDownloadLimit, nullptr,
                                kDownloadTimeLimitMs, signedRecord) &&
                   done;
            QueryPerformanceCounter(&end);
            if (!errorText.IsEmpty())
                std::fprintf(stderr, "%s\n", errorText.c_str());
            const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) /
                                   static_cast<double>(frequency.QuadPart);
            if (round == 0 || seconds < best)
                best = seconds;
        }
        std::printf("%s %.3f %d\n", signedRecord ? "signed" : "unsigned", best, done ? 1 : 0);
    }
    return 0;
}
