// The platform's floor for a split: the same pieces written by a plain Win32
// loop (CreateFile, ReadFile/WriteFile in slices, CloseHandle), with no window
// and no job record. Prints the seconds it took.
// Usage: bare_loop <source> <destination folder> <piece size> <slice size>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 5) {
        fprintf(stderr, "usage: bare_loop <source> <folder> <piece size> <slice size>\n");
        return 2;
    }
    DWORD piece = strtoul(argv[3], nullptr, 10);
    DWORD slice = strtoul(argv[4], nullptr, 10);
    std::vector<char> buffer(slice);
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HANDLE source = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (source == INVALID_HANDLE_VALUE) return 1;
    DWORD size = GetFileSize(source, nullptr);
    DWORD pieces = (size + piece - 1) / piece;
    for (DWORD index = 0; index < pieces; ++index) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\part.%03lu", argv[2], static_cast<unsigned long>(index));
        HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (out == INVALID_HANDLE_VALUE) return 1;
        for (DWORD done = 0; done < piece;) {
            DWORD want = piece - done < slice ? piece - done : slice, got = 0, put = 0;
            if (!ReadFile(source, buffer.data(), want, &got, nullptr)) return 1;
            if (got == 0) break;
            if (!WriteFile(out, buffer.data(), got, &put, nullptr) || put != got) return 1;
            done += got;
        }
        CloseHandle(out);
    }
    CloseHandle(source);
    QueryPerformanceCounter(&end);
    printf("%.4f\n", static_cast<double>(end.QuadPart - start.QuadPart) /
                         static_cast<double>(frequency.QuadPart));
    return 0;
}
