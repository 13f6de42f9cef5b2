/* A program the instruction gate must refuse: built for the Pentium Pro, the choice in LargerOf
   compiles to a CMOV. */
__attribute__((noinline)) int LargerOf(int a, int b) {
    return a > b ? a : b;
}

int main(int argc, char** argv) {
    return LargerOf(argc, argv[0][0]);
}
