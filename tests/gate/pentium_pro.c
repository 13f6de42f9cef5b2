/* The instruction gate must refuse this: built for the Pentium Pro, LargerOf holds a CMOV. */
__attribute__((noinline)) int LargerOf(int a, int b) {
    return a > b ? a : b;
}

int main(int argc, char** argv) {
    return LargerOf(argc, argv[0][0]);
}
