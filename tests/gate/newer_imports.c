/* A program the compatibility gate must refuse: it imports functions that Windows 2000 lacks. */
#include <windows.h>
#include <malloc.h>
#include <string.h>

int main(int argc, char** argv) {
    char copy[16];
    void* block = _aligned_malloc(16, 16);
    strcpy_s(copy, sizeof copy, argc > 0 ? argv[0] : "");
    _aligned_free(block);
    return (int)(GetTickCount64() & 1) + copy[0];
}
